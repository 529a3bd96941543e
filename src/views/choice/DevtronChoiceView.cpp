#include "views/choice/DevtronChoiceView.h"

#include "views/choice/ConfigItemRow.h"
#include "views/choice/FeatureRow.h"
#include "views/choice/PreflightRow.h"
#include "views/common/AccessibleWidgets.h"
#include "views/common/AlertDialog.h"
#include "views/common/BusyIndicator.h"
#include "views/common/KeyboardAccess.h"
#include "views/common/Labels.h"
#include "views/common/LiveStatus.h"
#include "views/common/RoundedPanel.h"
#include "views/style/Palette.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A rounded, tinted panel with 14 pixels of padding around its vertical stack.
QFrame* makeBox(const QString& name, const QColor& background, int spacing, QWidget* parent) {
    auto* box = new RoundedPanel(background, 8, parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(spacing);
    return box;
}

QLabel* makeBoxHeading(const QString& text, QWidget* parent) {
    QLabel* heading =
        Labels::text(text, Palette::font(13, QFont::Medium), Palette::primaryText(), parent);
    heading->setContentsMargins(0, 0, 0, 2);
    return heading;
}

// The switch drawn as a pill with its knob at the side that matches the state.
QIcon switchIcon(bool on) {
    constexpr int width = 34;
    constexpr int height = 20;
    QPixmap pixmap(width * 2, height * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(on ? Palette::blue() : Palette::withOpacity(Palette::grey(), 0.35));
    painter.drawRoundedRect(QRectF(0, 0, width, height), height / 2.0, height / 2.0);
    painter.setBrush(Palette::white());
    const double knob = height - 4.0;
    painter.drawEllipse(QRectF(on ? width - knob - 2.0 : 2.0, 2.0, knob, knob));
    return QIcon(pixmap);
}

} // namespace

DevtronChoiceView::DevtronChoiceView(InstallationState& state, QWidget* parent)
    : WizardScreenView(
          {tr("安装选项"),
           tr("请选择是否要安装Devtron平台，无论您的选择如何，我们都将配置必要的命令行工具"), true,
           Palette::withOpacity(Palette::blue(), 0.4)},
          parent),
      m_controller(new DevtronChoiceController(state, this)) {
    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(16);

    m_switch = new QCheckBox(tr("安装Devtron平台"), content);
    m_switch->setObjectName(QStringLiteral("installDevtronSwitch"));
    m_switch->setAccessibleName(m_switch->text());
    m_switch->setFont(Palette::font(14));
    // Label first, then the switch, as a switch is laid out on the desktop.
    m_switch->setLayoutDirection(Qt::RightToLeft);
    m_switch->setIconSize(QSize(34, 20));
    // The drawn pill replaces the check box's own indicator.
    m_switch->setStyleSheet(
        QStringLiteral("QCheckBox { spacing: 0px; } QCheckBox::indicator { "
                       "width: 0px; height: 0px; border: none; image: none; }"));
    contentLayout->addWidget(m_switch, 0, Qt::AlignLeft | Qt::AlignAbsolute);

    contentLayout->addWidget(buildChoicesBox(content));
    contentLayout->addWidget(buildFeatureBox(content));
    contentLayout->addWidget(buildToolsBox(content));
    contentLayout->addWidget(buildProgressRow(content));
    contentLayout->addWidget(buildChecklist(content));
    contentLayout->addSpacerItem(
        new QSpacerItem(0, 20, QSizePolicy::Minimum, QSizePolicy::MinimumExpanding));
    setBody(content);
    QList<QWidget*> tabs{m_switch};
    for (const QButtonGroup* group : {m_variantGroup, m_sourceGroup}) {
        for (QAbstractButton* button : group->buttons()) {
            tabs << button;
        }
    }
    chainTabs(tabs);
    setBusyFocusHolder(m_testingStatus);

    connect(m_switch, &QCheckBox::toggled, m_controller,
            &DevtronChoiceController::setInstallDevtron);
    connect(m_controller, &DevtronChoiceController::installDevtronChanged, this,
            &DevtronChoiceView::updateSwitch);
    connect(m_variantGroup, &QButtonGroup::idClicked, m_controller,
            [this](int id) { m_controller->setDevtronVariant(static_cast<DevtronVariant>(id)); });
    connect(m_sourceGroup, &QButtonGroup::idClicked, m_controller,
            [this](int id) { m_controller->setManifestSource(static_cast<ManifestSource>(id)); });
    connect(m_controller, &DevtronChoiceController::devtronVariantChanged, this,
            &DevtronChoiceView::updateChoices);
    connect(m_controller, &DevtronChoiceController::manifestSourceChanged, this,
            &DevtronChoiceView::updateChoices);
    connect(m_controller, &DevtronChoiceController::isTestingChanged, this,
            &DevtronChoiceView::updateTesting);
    connect(m_controller, &DevtronChoiceController::showTestFailAlertChanged, this,
            &DevtronChoiceView::updateAlert);
    connect(m_controller, &DevtronChoiceController::isCheckingPreflightChanged, this,
            &DevtronChoiceView::updateTesting);
    connect(m_controller, &DevtronChoiceController::preflightResultsChanged, this,
            &DevtronChoiceView::updateChecklist);
    connect(m_controller, &DevtronChoiceController::showPreflightConfirmChanged, this,
            &DevtronChoiceView::updatePreflightConfirm);
    connect(m_controller, &DevtronChoiceController::showExistingReleaseAlertChanged, this,
            &DevtronChoiceView::updateExistingReleaseAlert);
    connect(m_controller, &DevtronChoiceController::isRepairingChanged, this,
            &DevtronChoiceView::updateTesting);
    connect(m_controller, &DevtronChoiceController::repairPromptChanged, this,
            &DevtronChoiceView::updateRepairPrompt);
    connect(backButton(), &QPushButton::clicked, m_controller,
            &DevtronChoiceController::goBackToKubeconfigSelection);
    connect(nextButton(), &QPushButton::clicked, m_controller,
            &DevtronChoiceController::nextAction);

    updateSwitch();
    updateChoices();
    showTesting(m_controller->isTesting() || m_controller->isCheckingPreflight() ||
                m_controller->isRepairing());
    updateChecklist();
}

void DevtronChoiceView::showEvent(QShowEvent* event) {
    WizardScreenView::showEvent(event);
    // Coming back to this step asks for a fresh test; a window restored from the task bar does not.
    if (!event->spontaneous()) {
        m_controller->forgetTestResult();
    }
}

QWidget* DevtronChoiceView::buildChoicesBox(QWidget* parent) {
    QFrame* box = makeBox(QStringLiteral("choicesBox"), Palette::withOpacity(Palette::blue(), 0.05),
                          6, parent);
    m_variantGroup =
        addRadioGroup(box, tr("Devtron版本"),
                      {{static_cast<int>(DevtronVariant::minimal), tr("最小安装（1核/1 GB）")},
                       {static_cast<int>(DevtronVariant::cicd), tr("CI/CD（2核/6 GB）")},
                       {static_cast<int>(DevtronVariant::gitops), tr("CI/CD与GitOps")}});
    m_variantGroup->button(static_cast<int>(DevtronVariant::minimal))
        ->setAccessibleDescription(tr("仅Devtron仪表盘，不含CI/CD模块"));
    m_variantGroup->button(static_cast<int>(DevtronVariant::gitops))
        ->setAccessibleDescription(tr("CI/CD，另含Argo CD"));
    m_sourceGroup =
        addRadioGroup(box, tr("安装来源"),
                      {{static_cast<int>(ManifestSource::github), QStringLiteral("GitHub")},
                       {static_cast<int>(ManifestSource::gitee), QStringLiteral("Gitee")}});
    // The one line that says why anyone would take the second source.
    const QString giteeReason = tr("适用于无法访问GitHub的网络");
    m_sourceGroup->button(static_cast<int>(ManifestSource::gitee))
        ->setAccessibleDescription(giteeReason);
    auto* sourceRow = static_cast<QHBoxLayout*>(
        m_sourceGroup->button(static_cast<int>(ManifestSource::gitee))->parentWidget()->layout());
    sourceRow->insertWidget(sourceRow->count() - 1, Labels::text(giteeReason, Palette::font(12),
                                                                 Palette::secondaryText(), box));
    m_choicesBox = box;
    return box;
}

QButtonGroup* DevtronChoiceView::addRadioGroup(QWidget* box, const QString& name,
                                               const QList<std::pair<int, QString>>& choices) {
    box->layout()->addWidget(makeBoxHeading(name, box));
    // One choice of several: a reader meets a named group of radio buttons.
    auto* row = new QWidget(box);
    AccessibleWidgets::setRole(row, QAccessible::Grouping);
    row->setAccessibleName(name);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(16);
    auto* group = new QButtonGroup(row);
    for (const auto& [id, text] : choices) {
        auto* button = new QRadioButton(text, row);
        button->setFont(Palette::font(12));
        button->setAccessibleName(text);
        group->addButton(button, id);
        line->addWidget(button);
    }
    line->addStretch();
    box->layout()->addWidget(row);
    return group;
}

void DevtronChoiceView::updateChoices() {
    // Tab enters a group at its chosen button, as on every desktop; the arrows move within it.
    const auto check = [](QButtonGroup* group, int id) {
        QAbstractButton* chosen = group->button(id);
        if (!chosen->isChecked()) {
            const QSignalBlocker blocker(group);
            chosen->setChecked(true);
        }
        for (QAbstractButton* button : group->buttons()) {
            button->setFocusPolicy(button == chosen ? Qt::StrongFocus : Qt::ClickFocus);
        }
    };
    check(m_variantGroup, static_cast<int>(m_controller->devtronVariant()));
    check(m_sourceGroup, static_cast<int>(m_controller->manifestSource()));
}

QWidget* DevtronChoiceView::buildFeatureBox(QWidget* parent) {
    QFrame* box = makeBox(QStringLiteral("featureBox"), Palette::withOpacity(Palette::blue(), 0.05),
                          10, parent);
    auto* layout = box->layout();
    layout->addWidget(makeBoxHeading(tr("Devtron功能"), box));
    layout->addWidget(new FeatureRow(QStringLiteral("cube.box.fill"), tr("一键部署镜像文件"), box));
    layout->addWidget(
        new FeatureRow(QStringLiteral("chart.xyaxis.line"), tr("完整的应用监控和可观测性"), box));
    layout->addWidget(
        new FeatureRow(QStringLiteral("gearshape.2"), tr("简化的Kubernetes配置管理"), box));
    m_featureBox = box;
    return box;
}

QWidget* DevtronChoiceView::buildToolsBox(QWidget* parent) {
    QFrame* box =
        makeBox(QStringLiteral("toolsBox"), Palette::withOpacity(Palette::grey(), 0.05), 8, parent);
    auto* layout = box->layout();
    layout->addWidget(makeBoxHeading(tr("将配置的工具"), box));
    layout->addWidget(new ConfigItemRow(QStringLiteral("helm"), QStringLiteral("Helm"), box));
    layout->addWidget(new ConfigItemRow(QStringLiteral("kubectl"), QStringLiteral("Kubectl"), box));
    layout->addWidget(new ConfigItemRow(QStringLiteral("doc.fill"),
                                        QStringLiteral("Kubeconfig (~/.kube/config)"), box));
    return box;
}

QWidget* DevtronChoiceView::buildProgressRow(QWidget* parent) {
    QFrame* row = makeBox(QStringLiteral("progressRow"),
                          Palette::withOpacity(Palette::grey(), 0.05), 0, parent);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    // The regular 32-pixel spinner at 0.7 of its size.
    auto* indicator = new BusyIndicator(Palette::grey(), 22, row);
    indicator->setObjectName(QStringLiteral("progressIndicator"));
    line->addWidget(indicator, 0, Qt::AlignVCenter);
    m_testingStatus = new LiveStatus(Palette::font(13), Palette::secondaryText(), row);
    m_testingStatus->setObjectName(QStringLiteral("testingStatus"));
    m_testingStatus->setContentsMargins(8, 0, 0, 0);
    line->addWidget(m_testingStatus);
    line->addStretch();
    static_cast<QVBoxLayout*>(row->layout())->addLayout(line);
    m_progressRow = row;
    return row;
}

QWidget* DevtronChoiceView::buildChecklist(QWidget* parent) {
    QFrame* box = makeBox(QStringLiteral("preflightBox"),
                          Palette::withOpacity(Palette::grey(), 0.05), 8, parent);
    box->layout()->addWidget(makeBoxHeading(tr("安装前检查"), box));
    m_checklist = box;
    return box;
}

void DevtronChoiceView::updateChecklist() {
    const PreflightCheck::Results& results = m_controller->preflightResults();
    for (QWidget* row : m_checklist->findChildren<PreflightRow*>()) {
        delete row;
    }
    QWidget* repairButton = nullptr;
    for (const PreflightCheck::Result& result : results) {
        auto* row = new PreflightRow(result, m_checklist);
        m_checklist->layout()->addWidget(row);
        if (row->repairButton() != nullptr) {
            repairButton = row->repairButton();
            connect(row, &PreflightRow::repairRequested, m_controller,
                    &DevtronChoiceController::repairBrokenRelease);
        }
    }
    // Every radio button is in the chain; only each group's chosen one takes Tab's focus.
    QList<QWidget*> chain{m_switch};
    for (QButtonGroup* group : {m_variantGroup, m_sourceGroup}) {
        for (QAbstractButton* button : group->buttons()) {
            chain.append(button);
        }
    }
    chain << repairButton << scrollArea() << backButton() << nextButton();
    KeyboardAccess::chainTabs(this, chain);
    m_checklist->setVisible(!results.isEmpty());
    if (!results.isEmpty()) {
        QTimer::singleShot(0, this, [this] { scrollArea()->ensureWidgetVisible(m_checklist); });
    }
}

void DevtronChoiceView::updatePreflightConfirm() {
    if (!m_controller->showPreflightConfirm()) {
        return;
    }
    enum { install, cancel };
    QMessageBox* alert = AlertDialog::open(
        this,
        {tr("安装前检查有警告"),
         tr("安装前检查有警告"),
         tr("Devtron可能无法完全启动，详见检查结果。仍要继续安装吗？"),
         {tr("继续安装"), tr("取消")},
         cancel},
        [this](int button) { m_controller->confirmPreflightWarnings(button == install); });
    if (alert != nullptr) {
        alert->setObjectName(QStringLiteral("preflightConfirm"));
    }
}

void DevtronChoiceView::updateExistingReleaseAlert() {
    if (!m_controller->showExistingReleaseAlert()) {
        return;
    }
    enum { understood, readAccess, remove };
    QMessageBox* alert =
        AlertDialog::open(this,
                          {tr("Devtron已安装"),
                           tr("Devtron已安装"),
                           tr("您的集群中已经安装了Devtron。\n\n"
                              "如果您需要访问现有Devtron的账户和密码，请联系集群管理员获取。\n"
                              "kubeconfig有读取权限时，也可以直接从集群读取访问信息。"),
                           {tr("确定"), tr("读取访问信息"), tr("卸载Devtron")},
                           understood},
                          [this](int button) {
                              if (button == remove) {
                                  m_controller->requestRemoval();
                              } else {
                                  m_controller->answerExistingRelease(button == readAccess);
                              }
                          });
    if (alert != nullptr) {
        alert->setObjectName(QStringLiteral("existingReleaseAlert"));
    }
}

void DevtronChoiceView::updateRepairPrompt() {
    using Prompt = DevtronChoiceController::RepairPrompt;
    QString message = m_controller->repairMessage();
    if (!m_controller->repairCommand().isEmpty()) {
        // The command on a line of its own, unbroken, so that it reads and copies as one.
        message =
            QStringLiteral("<p>%1</p><p style=\"white-space:pre\">%2</p>")
                .arg(message.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")),
                     m_controller->repairCommand().toHtmlEscaped());
    }
    AlertDialog::Alert alert;
    // Cancel first: the default answer, for Return and Escape alike, changes nothing.
    switch (m_controller->repairPrompt()) {
    case Prompt::none:
        return;
    case Prompt::uninstall:
        alert = {tr("清理Devtron发布"),
                 tr("清理后重新安装Devtron？"),
                 message,
                 {tr("取消"), tr("清理")},
                 0};
        break;
    case Prompt::removeRecord:
        alert = {tr("删除发布记录"),
                 tr("删除挂起的发布记录？"),
                 message,
                 {tr("取消"), tr("删除记录")},
                 0};
        break;
    case Prompt::failed:
        alert = {tr("清理失败"), tr("清理Devtron发布失败"), message, {tr("我知道了")}, 0};
        break;
    }
    QMessageBox* box = AlertDialog::open(
        this, alert, [this](int button) { m_controller->answerRepairPrompt(button == 1); });
    if (box != nullptr) {
        box->setObjectName(QStringLiteral("repairAlert"));
    }
}

void DevtronChoiceView::updateSwitch() {
    const bool on = m_controller->installDevtron();
    if (m_switch->isChecked() != on) {
        const QSignalBlocker blocker(m_switch);
        m_switch->setChecked(on);
    }
    m_switch->setIcon(switchIcon(on));
    m_choicesBox->setVisible(on);
    m_featureBox->setVisible(on);
}

void DevtronChoiceView::updateTesting() {
    const auto busy = [this] {
        return m_controller->isTesting() || m_controller->isCheckingPreflight() ||
               m_controller->isRepairing();
    };
    if (busy()) {
        showTesting(true);
        return;
    }
    // A passed test hands over to the pre-flight check within this turn of the event loop: the
    // focus stays on the status line instead of visiting "下一步" in between.
    QTimer::singleShot(0, this, [this, busy] {
        if (!busy()) {
            showTesting(false);
        }
    });
}

void DevtronChoiceView::showTesting(bool testing) {
    if (!testing) {
        // The focus leaves the status line for "下一步" before the line is hidden: hiding the
        // focused line would hand the focus on to the switch.
        setNextEnabled(true);
        m_progressRow->hide();
        return;
    }
    m_progressRow->show();
    // Named before it takes the focus, so that the focus event already carries the status.
    m_testingStatus->announce(m_controller->isRepairing() ? tr("正在清理Devtron发布...")
                              : m_controller->isCheckingPreflight() ? tr("正在进行安装前检查...")
                                                                    : tr("正在测试集群连接..."));
    // Started by Return on the switch or from the checklist: the focus goes the way of a pressed
    // "下一步", to the status and back, so that the reader hears the work and Space cannot change
    // the choice meanwhile.
    const QWidget* focus = window()->focusWidget();
    if (focus != nullptr && (focus == m_switch || m_checklist->isAncestorOf(focus))) {
        nextButton()->setFocus(Qt::OtherFocusReason);
    }
    setNextEnabled(false);
    // The row sits below the lists; bring it into view once the layout has placed it.
    QTimer::singleShot(0, this, [this] { scrollArea()->ensureWidgetVisible(m_progressRow); });
}

void DevtronChoiceView::updateAlert() {
    if (!m_controller->showTestFailAlert()) {
        if (m_alert) {
            m_alert->hide();
            m_alert->deleteLater();
            m_alert = nullptr;
        }
        return;
    }
    if (m_alert) {
        m_alert->setInformativeText(m_controller->alertMessage());
        return;
    }
    constexpr int goBack = 1;
    // Escape or the window's close button only dismiss; leaving the step takes the explicit button.
    m_alert = AlertDialog::open(this,
                                {tr("集群连接测试失败"),
                                 tr("集群连接测试失败"),
                                 m_controller->alertMessage(),
                                 {tr("我知道了"), tr("返回上一步")},
                                 0},
                                [this](int button) {
                                    m_controller->setShowTestFailAlert(false);
                                    if (button == goBack) {
                                        m_controller->goBackToKubeconfigSelection();
                                    }
                                });
    if (m_alert) {
        m_alert->setObjectName(QStringLiteral("testFailAlert"));
    }
}
