#include "ClusterTestFixture.h"
#include "keychain/Keychain.h"
#include "keychain/KeychainManager.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "views/removal/RemovalController.h"
#include "views/removal/RemovalView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUuid>

using namespace Qt::StringLiterals;
using Fate = DevtronRemoval::Fate;

// Removing Devtron with the real helm and kubectl: what the preview finds, the typed name that
// guards the run, and what the run removes, leaves and reports.
class Removal : public ClusterTestFixture {
protected:
    void SetUp() override {
        ClusterEmulator::Options options;
        options.flavour = u"upstream"_s;
        options.extraNamespaces = {u"argo"_s};
        options.namespaceTerminationSeconds = 1;
        ASSERT_TRUE(m_emulator.start(options)) << m_emulator.errorText().toStdString();
        setVariable("DEVTRON_CHART", QStringLiteral(NIMBREL_STANDIN_CHART));
        AppPaths::setToolsDirectoryOverride(QStringLiteral(NIMBREL_TOOLS_BUILD_DIR));
        m_state.setKubeconfigPath(m_emulator.kubeconfigPath());
        m_state.setKubeconfigContext(u"nimbrel-emulator"_s);
        m_state.setClusterServer(m_emulator.serverUrl());
        m_limits.namespaces = std::chrono::seconds(4);
        m_limits.pollInterval = std::chrono::milliseconds(300);
    }
    void TearDown() override {
        BackgroundJobs::waitForDone();
        ClusterTestFixture::TearDown();
    }

    // The controller's items as "name fate" words, in its order.
    static std::string listed(const DevtronRemoval::Items& items) {
        static const char* const fates[] = {"remove", "keep", "removed", "left"};
        QStringList words;
        for (const DevtronRemoval::Item& item : items) {
            words << item.name + u' ' + QLatin1String(fates[static_cast<int>(item.fate)]);
        }
        return words.join(u", "_s).toStdString();
    }
    bool previewed(RemovalController& controller) {
        controller.setLimits(m_limits);
        controller.loadPreview();
        return QTest::qWaitFor(
            [&] { return controller.phase() == RemovalController::Phase::confirming; }, 60000);
    }
    QString kubectl(const QString& arguments) {
        return run(kubectlLine(arguments), m_emulator.kubeconfigPath()).output;
    }

    InstallationState m_state;
    DevtronRemoval::Limits m_limits;
    const QString m_service = u"com.orvane.nimbrel.removal-"_s + QUuid::createUuid().toString();
};

TEST_F(Removal, PreviewListsWhatExistsAndOnlyTheExactNameRemoves) {
    installStandIn();
    const QStringList everything{u"devtron remove"_s,
                                 u"argo keep"_s,
                                 u"devtron-cd remove"_s,
                                 u"devtron-ci remove"_s,
                                 u"devtron-demo remove"_s,
                                 u"devtroncd remove"_s,
                                 u"installers.installer.devtron.ai remove"_s};
    QStringList withoutDemo = everything;
    withoutDemo.removeAll(u"devtron-demo remove"_s);
    for (const auto& [removedFirst, expected] :
         {std::pair{QString(), everything}, std::pair{u"devtron-demo"_s, withoutDemo}}) {
        SCOPED_TRACE(removedFirst.toStdString());
        if (!removedFirst.isEmpty()) {
            kubectl(u"delete namespace "_s + removedFirst + u" --wait=true"_s);
        }
        RemovalView view(m_state, m_service);
        view.show();
        ASSERT_TRUE(previewed(view.controller())) << m_state.logs().toStdString();
        EXPECT_EQ(listed(view.controller().items()), expected.join(u", "_s).toStdString());

        // Typed by hand into the sheet: a part, another case, a trailing space do not match.
        auto* field = view.findChild<QLineEdit*>(u"confirmField"_s);
        auto* removeButton = view.findChild<QPushButton*>(u"removeButton"_s);
        for (const QString& typed : {u"nimbrel-emu"_s, u"Nimbrel-emulator"_s,
                                     u"nimbrel-emulator "_s, m_emulator.serverUrl()}) {
            field->clear();
            QTest::keyClicks(field, typed);
            EXPECT_FALSE(removeButton->isEnabled()) << typed.toStdString();
            QTest::keyClick(field, Qt::Key_Return);
            view.controller().remove();
            EXPECT_EQ(view.controller().phase(), RemovalController::Phase::confirming);
        }
        field->clear();
        QTest::keyClicks(field, u"nimbrel-emulator"_s);
        EXPECT_TRUE(removeButton->isEnabled());
    }
    // Nothing was touched by all that.
    EXPECT_TRUE(kubectl(u"get namespace devtroncd devtron-cd -o name"_s).contains(u"devtron-cd"_s));
    EXPECT_EQ(
        run(ShellUtils::quotePath(ClusterTools::helmPath()) + u" status devtron -n devtroncd"_s,
            m_emulator.kubeconfigPath())
            .exitCode,
        0);
}

TEST_F(Removal, RunRemovesDevtronOrReportsWhatStaysAndWhy) {
    const struct {
        ClusterEmulator::Fault fault;
        QStringList result;
        // The finalizer the namespace left is reported with; empty when everything went.
        QString stuck;
    } cases[] = {
        {ClusterEmulator::Fault::None,
         {u"devtron removed"_s, u"argo keep"_s, u"devtron-cd removed"_s, u"devtron-ci removed"_s,
          u"devtron-demo removed"_s, u"devtroncd removed"_s,
          u"installers.installer.devtron.ai removed"_s},
         {}},
        {ClusterEmulator::Fault::NamespaceStuck,
         {u"devtron removed"_s, u"argo keep"_s, u"devtron-cd removed"_s, u"devtron-ci left"_s,
          u"devtron-demo removed"_s, u"devtroncd removed"_s},
         u"example.com/stuck"_s},
    };
    const KeychainManager keychain(m_service);
    for (const auto& c : cases) {
        SCOPED_TRACE(ClusterEmulator::faultName(c.fault).toStdString());
        ASSERT_TRUE(m_emulator.setFault(c.fault));
        installStandIn();
        for (const QString& key : Keychain::devtronKeys) {
            keychain.set(u"saved"_s, key);
        }
        RemovalController controller(m_state, m_service);
        ASSERT_TRUE(previewed(controller)) << m_state.logs().toStdString();
        controller.setConfirmationText(u"nimbrel-emulator"_s);
        controller.remove();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return controller.phase() == RemovalController::Phase::finished; }, 120000));
        EXPECT_EQ(listed(controller.items()), c.result.join(u", "_s).toStdString())
            << m_state.logs().toStdString();
        EXPECT_EQ(controller.succeeded(), c.stuck.isEmpty());
        if (!c.stuck.isEmpty()) {
            const DevtronRemoval::Item left = controller.items().value(3);
            // The finalizers as the namespace lists them, then what its conditions say.
            const QString finalizers = left.detail.section(u'；', 0, 0);
            EXPECT_TRUE(finalizers.startsWith(u"仍在删除中，剩余finalizer："_s) &&
                        finalizers.contains(c.stuck))
                << left.detail.toStdString();
        }
        EXPECT_TRUE(kubectl(u"get namespace argo -o name"_s).contains(u"argo"_s));
        EXPECT_EQ(
            kubectl(
                u"get namespace devtroncd devtron-cd devtron-demo --ignore-not-found -o name"_s),
            QString());
        // The access data goes with a complete removal only.
        EXPECT_EQ(keychain.get(u"devtronPassword"_s).has_value(), !c.stuck.isEmpty());
        ASSERT_TRUE(m_emulator.setFault(ClusterEmulator::Fault::None));
    }
}
