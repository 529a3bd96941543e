#include "KubeconfigFixtures.h"

#include "session/InstallationState.h"
#include "views/KubeconfigSelectionView.h"
#include "views/Palette.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <memory>

using namespace kubeconfig_fixtures;

namespace {

constexpr int waitMs = 20000;

class KubeconfigSelectionViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_view = std::make_unique<KubeconfigSelectionView>(m_state);
        m_view->setFilePicker([this](QWidget*) {
            ++m_pickerRuns;
            return m_pick;
        });
        m_view->resize(560, 460);
        m_view->show();
    }

    void TearDown() override {
        // No run may outlive the session model it logs to.
        QThreadPool::globalInstance()->waitForDone();
        QTest::qWait(0);
    }

    template <typename T> T* child(const char* name) const {
        return m_view->findChild<T*>(QString::fromLatin1(name));
    }
    QPushButton* nextButton() const { return child<QPushButton>("nextButton"); }

    void choose(const QString& path) {
        m_pick = path;
        QTest::mouseClick(child<QPushButton>("browseButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_state.kubeconfigPath() == path; }, waitMs));
    }

    void chooseAndValidate(const QString& path) {
        choose(path);
        QTest::mouseClick(nextButton(), Qt::LeftButton);
        ASSERT_TRUE(m_view->isValidating());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return m_state.currentStep() != InstallationStep::kubeconfigSelection ||
                       m_state.isShowingError();
            },
            waitMs));
    }

    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("config")) {
        return writeFile(m_files.path(), name, bytes);
    }

    bool logged(const QString& line) const {
        return m_state.logs().contains(QStringLiteral("] ") + line + QLatin1Char('\n'));
    }

    QColor fillOf(QPushButton* button) const {
        return button->grab().toImage().pixelColor(button->width() / 2, 2);
    }

    QTemporaryDir m_home;
    QTemporaryDir m_files;
    ScopedEnv m_stateHome{"XDG_STATE_HOME", QFile::encodeName(m_home.path() + "/state")};
    ScopedEnv m_runtime{"XDG_RUNTIME_DIR", QFile::encodeName(m_home.path())};
    InstallationState m_state;
    std::unique_ptr<KubeconfigSelectionView> m_view;
    QString m_pick;
    int m_pickerRuns = 0;
};

TEST_F(KubeconfigSelectionViewTest, NothingChosenLeavesNextDisabledAndGrey) {
    EXPECT_TRUE(child<QWidget>("emptyPanel")->isVisible());
    EXPECT_FALSE(nextButton()->isEnabled());
    const QColor grey = fillOf(nextButton());
    EXPECT_NE(grey.rgb(), Palette::blue().rgb());
    EXPECT_LT(grey.hsvSaturation(), 60);
    QTest::mouseClick(nextButton(), Qt::LeftButton);
    EXPECT_FALSE(m_view->isValidating());

    choose(write(completeKubeconfig().toUtf8()));
    EXPECT_TRUE(nextButton()->isEnabled());
    EXPECT_EQ(fillOf(nextButton()).rgb(), Palette::blue().rgb());
}

TEST_F(KubeconfigSelectionViewTest, PickShowsTheCardAndChangeClearsIt) {
    const QString path = write(completeKubeconfig().toUtf8(), QStringLiteral("cluster.yaml"));
    choose(path);
    EXPECT_EQ(m_state.kubeconfigDisplayPath(), path);
    EXPECT_TRUE(child<QWidget>("filePanel")->isVisible());
    EXPECT_EQ(child<QLabel>("fileNameLabel")->text(), QStringLiteral("cluster.yaml"));
    EXPECT_EQ(child<QLabel>("filePathLabel")->text(), path);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return logged(QStringLiteral("用户选择了Kubeconfig文件: cluster.yaml")); }, waitMs));

    QTest::mouseClick(child<QPushButton>("changeButton"), Qt::LeftButton);
    EXPECT_TRUE(m_state.kubeconfigPath().isEmpty());
    EXPECT_TRUE(m_state.kubeconfigDisplayPath().isEmpty());
    EXPECT_FALSE(nextButton()->isEnabled());
    EXPECT_TRUE(child<QWidget>("emptyPanel")->isVisible());
    EXPECT_EQ(m_pickerRuns, 1);
}

TEST_F(KubeconfigSelectionViewTest, CancelledPickChangesNothingAndCanBeRepeated) {
    m_pick.clear();
    for (int run = 1; run <= 2; ++run) {
        QTest::mouseClick(child<QPushButton>("browseButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_pickerRuns == run; }, waitMs));
        EXPECT_FALSE(m_view->isFilePickerPresented());
    }
    EXPECT_TRUE(m_state.kubeconfigPath().isEmpty());
    EXPECT_FALSE(nextButton()->isEnabled());
}

TEST_F(KubeconfigSelectionViewTest, CompleteAndNearlyCompleteKubeconfigsAdvance) {
    const QString path = write(kubeconfigWithoutCurrentContext().toUtf8());
    choose(path);
    QTest::mouseClick(nextButton(), Qt::LeftButton);
    EXPECT_TRUE(m_view->isValidating());
    EXPECT_FALSE(nextButton()->isEnabled());
    EXPECT_FALSE(child<QPushButton>("changeButton")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return m_state.currentStep() == InstallationStep::devtronChoice; }, waitMs));
    EXPECT_FALSE(m_view->isValidating());
    EXPECT_EQ(m_state.kubeconfigPath(), path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return logged(QStringLiteral("Kubeconfig文件验证成功 ✓")); },
                                waitMs));
    const QString logs = m_state.logs();
    EXPECT_LT(logs.indexOf(QStringLiteral("开始验证Kubeconfig文件: config")),
              logs.indexOf(QStringLiteral("缺少字段: current-context")));
    EXPECT_LT(logs.indexOf(QStringLiteral("检测到集群名称: prod-cluster")),
              logs.indexOf(QStringLiteral("Kubeconfig文件验证成功 ✓")));
    EXPECT_FALSE(m_state.isShowingError());
}

TEST_F(KubeconfigSelectionViewTest, TwoNamesRaiseTheMissingFieldsError) {
    chooseAndValidate(write("apiVersion: v1\nkind: Config\n"));
    EXPECT_EQ(m_state.errorMessage(),
              QStringLiteral("无效的Kubeconfig文件。请确保包含所有必要字段: "
                             "clusters, contexts, current-context。"));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_FALSE(m_view->isValidating());
    EXPECT_TRUE(nextButton()->isEnabled());
    EXPECT_TRUE(logged(QStringLiteral("尝试解码文件内容...")));
}

TEST_F(KubeconfigSelectionViewTest, OneLineBase64SwitchesToTheDecodedFile) {
    for (const QByteArray& ending : {QByteArray(), QByteArray("\n")}) {
        SCOPED_TRACE(ending.toStdString());
        m_state.setCurrentStep(InstallationStep::kubeconfigSelection);
        const QString chosen =
            write(base64OneLine(completeKubeconfig()) + ending, QStringLiteral("encoded.b64"));
        choose(chosen);
        QTest::mouseClick(nextButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return m_state.currentStep() == InstallationStep::devtronChoice; }, waitMs));
        const QString decoded = m_home.path() + QStringLiteral("/nimbrel/kubeconfig");
        EXPECT_EQ(m_state.kubeconfigPath(), decoded);
        EXPECT_EQ(m_state.kubeconfigDisplayPath(), chosen);
        EXPECT_EQ(child<QLabel>("fileNameLabel")->text(), QStringLiteral("encoded.b64"));
        EXPECT_EQ(readFile(decoded), completeKubeconfig().toUtf8());
        EXPECT_EQ(fileMode(decoded), 0600);
        m_state.setKubeconfigPath(QString(), QString());
    }
}

TEST_F(KubeconfigSelectionViewTest, WrappedBase64IsNotDecoded) {
    const QString chosen = write(base64Wrapped(completeKubeconfig()));
    chooseAndValidate(chosen);
    EXPECT_TRUE(m_state.errorMessage().value_or(QString()).startsWith(
        QStringLiteral("无效的Kubeconfig文件。请确保包含所有必要字段: ")));
    EXPECT_EQ(m_state.kubeconfigPath(), chosen);
    EXPECT_TRUE(logged(QStringLiteral("Base64解码失败或内容不是Base64格式，使用原始文件内容")));
}

TEST_F(KubeconfigSelectionViewTest, UnreadableFilesRaiseTheReadError) {
    const QString deleted = write(completeKubeconfig().toUtf8(), QStringLiteral("deleted"));
    const struct {
        const char* label;
        QString path;
    } cases[] = {
        {"not UTF-8", write("apiVersion: \xc3\x28\n", QStringLiteral("bad"))},
        {"deleted after the pick", deleted},
        {"fifo", makeFifo(m_files.path(), QStringLiteral("fifo"))},
        {"100 MiB", makeSparseFile(m_files.path(), QStringLiteral("huge"), qint64{100} << 20)},
    };
    for (const auto& unreadable : cases) {
        SCOPED_TRACE(unreadable.label);
        m_state.setIsShowingError(false);
        choose(unreadable.path);
        QFile::remove(deleted);
        QTest::mouseClick(nextButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_state.isShowingError(); }, waitMs));
        EXPECT_TRUE(m_state.errorMessage().value_or(QString()).startsWith(
            QStringLiteral("无法读取Kubeconfig文件: ")));
        EXPECT_FALSE(m_view->isValidating());
        EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
        QTest::mouseClick(child<QPushButton>("changeButton"), Qt::LeftButton);
    }
}

TEST_F(KubeconfigSelectionViewTest, PathsWithShellAndWideCharactersWork) {
    const QStringList names{QStringLiteral("my kube config"), QStringLiteral("it's \"quoted\""),
                            QStringLiteral("$HOME`id`"), QStringLiteral("集群 配置.yaml")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        m_state.setCurrentStep(InstallationStep::kubeconfigSelection);
        ASSERT_TRUE(QDir(m_files.path()).mkpath(name));
        const QString path = writeFile(QDir(m_files.path()).filePath(name), name,
                                       base64OneLine(completeKubeconfig()));
        choose(path);
        EXPECT_EQ(child<QLabel>("fileNameLabel")->text(), name);
        EXPECT_EQ(child<QLabel>("filePathLabel")->toolTip(), path);
        QTest::mouseClick(nextButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return m_state.currentStep() == InstallationStep::devtronChoice; }, waitMs));
        EXPECT_TRUE(logged(QStringLiteral("开始验证Kubeconfig文件: ") + name));
        EXPECT_EQ(m_state.kubeconfigDisplayPath(), path);
        m_state.setKubeconfigPath(QString(), QString());
    }
}

TEST_F(KubeconfigSelectionViewTest, ScreenClosedDuringValidationIsSafe) {
    choose(write(completeKubeconfig().toUtf8()));
    // Hold the pool so the run starts only after the screen is gone.
    QThreadPool* pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    QSemaphore release;
    pool->start([&release] { release.acquire(); });
    QTest::mouseClick(nextButton(), Qt::LeftButton);
    m_view.reset();
    release.release();
    pool->waitForDone();
    pool->setMaxThreadCount(threads);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return logged(QStringLiteral("检测到集群名称: prod-cluster")); }, waitMs));
    QTest::qWait(50);
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_FALSE(logged(QStringLiteral("Kubeconfig文件验证成功 ✓")));
}

TEST_F(KubeconfigSelectionViewTest, RegistrationOpensOnlyRealAddresses) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    QTest::mouseClick(child<QPushButton>("registerButton"), Qt::LeftButton);
    KubeconfigSelectionView::openURL(QString());
    KubeconfigSelectionView::openURL(QStringLiteral("not an address"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened.constFirst(),
              QUrl(QString::fromLatin1(KubeconfigSelectionView::registrationUrl)));
}

} // namespace
