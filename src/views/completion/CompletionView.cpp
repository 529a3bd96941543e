#include "views/completion/CompletionView.h"

#include "session/InstallationState.h"
#include "views/common/AlertDialog.h"
#include "views/common/BusyIndicator.h"
#include "views/common/Buttons.h"
#include "views/common/FloatingNotice.h"
#include "views/common/Labels.h"
#include "views/common/LiveStatus.h"
#include "views/common/RoundedPanel.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionInfoRow.h"
#include "views/completion/InstalledToolRow.h"
#include "views/completion/RowButton.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QFrame* makeBox(const QString& name, const QColor& background, int padding, int spacing,
                QWidget* parent) {
    auto* box = new RoundedPanel(background, 6, parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(spacing);
    return box;
}

QWidget* makeSection(const QString& name, QWidget* parent) {
    auto* section = new QWidget(parent);
    section->setObjectName(name);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    return section;
}

QLabel* makeHeading(const QString& text, QWidget* parent) {
    return Labels::text(text, Palette::font(14, QFont::Medium), Palette::primaryText(), parent);
}

QLabel* makeIcon(const QString& name, int size, const QColor& tint, QWidget* parent) {
    auto* icon = new QLabel(parent);
    icon->setPixmap(IconRegistry::pixmap(name, size, tint));
    return icon;
}

// An icon followed by a text, left-aligned.
QWidget* makeIconLine(QLabel* icon, QLabel* text, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    text->setParent(row);
    if (icon != nullptr) {
        icon->setParent(row);
        layout->addWidget(icon);
    }
    layout->addWidget(text);
    layout->addStretch();
    return row;
}

} // namespace

CompletionView::CompletionView(CompletionController* controller, QWidget* parent)
    : WizardScreenView({tr("安装完成"), QString(), false,
                        Palette::withOpacity(Palette::blue(), 0.4), tr("完成")},
                       parent),
      m_controller(controller) {
    m_controller->setParent(this);
    nextButton()->setObjectName(QStringLiteral("doneButton"));
    connect(nextButton(), &QPushButton::clicked, m_controller, &CompletionController::finish);

    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 10, 0);
    contentLayout->setSpacing(24);
    contentLayout->addWidget(buildTimeoutNotice());
    contentLayout->addWidget(buildAccessSection());
    contentLayout->addWidget(buildCommandSection());
    contentLayout->addWidget(buildToolsSection());
    contentLayout->addWidget(buildLogButton());
    contentLayout->addWidget(buildTimeRow());
    contentLayout->addStretch();
    setBody(content);

    m_notice = new FloatingNotice(this);

    connect(m_controller, &CompletionController::layoutChanged, this,
            &CompletionView::updateLayout);
    connect(m_controller, &CompletionController::isPasswordVisibleChanged, this,
            &CompletionView::updatePassword);
    connect(m_controller, &CompletionController::showSaveAlertChanged, this,
            &CompletionView::updateSaveAlert);
    connect(m_controller, &CompletionController::showingLogViewerChanged, this, [this] {
        if (m_controller->showingLogViewer()) {
            emit logViewerRequested();
        }
    });
    connect(m_controller, &CompletionController::isFinishingChanged, this,
            [this] { nextButton()->setEnabled(!m_controller->isFinishing()); });
    connect(m_controller, &CompletionController::inWindowNotice, this, &CompletionView::showNotice);
    connect(m_controller, &CompletionController::accessChanged, this,
            &CompletionView::updateAccess);
    connect(m_controller, &CompletionController::isRetrievingCredentialsChanged, this,
            &CompletionView::updateAccess);
    connect(m_controller, &CompletionController::installationTimeChanged, this,
            &CompletionView::updateTime);
    connect(m_controller, &CompletionController::saveFailureChanged, this,
            &CompletionView::updateSaveFailure);
    updateLayout();
    updateAccess();
    updateTime();
}

void CompletionView::showEvent(QShowEvent* event) {
    WizardScreenView::showEvent(event);
    m_controller->startWatching();
}

QWidget* CompletionView::buildTimeoutNotice() {
    QFrame* box = makeBox(QStringLiteral("timeoutNotice"),
                          Palette::withOpacity(Palette::orange(), 0.1), 14, 6, this);
    auto* layout = box->layout();
    layout->addWidget(makeIconLine(
        makeIcon(QStringLiteral("exclamationmark.triangle"), 12, Palette::orange(), box),
        Labels::text(tr("安装超时提醒"), Palette::font(14, QFont::Medium), Palette::orange(), box),
        box));
    for (const QString& line : {tr("Devtron服务启动超时，访问凭证可能不完整或不可用。您可以："),
                                tr("• 稍后手动检查服务状态"), tr("• 查看安装日志了解详细信息"),
                                tr("• 如需重新安装，请重启应用")}) {
        QLabel* text = Labels::text(line, Palette::font(13), Palette::secondaryText(), box);
        text->setWordWrap(true);
        layout->addWidget(text);
    }
    m_timeoutNotice = box;
    return box;
}

QWidget* CompletionView::buildAccessSection() {
    QWidget* section = makeSection(QStringLiteral("accessSection"), this);
    auto* layout = section->layout();
    layout->addWidget(makeHeading(tr("访问信息"), section));

    QFrame* box = makeBox(QStringLiteral("accessBox"), Palette::withOpacity(Palette::green(), 0.1),
                          10, 0, section);
    const InstallationState& state = m_controller->state();
    m_accessRows = new QWidget(box);
    m_accessRows->setObjectName(QStringLiteral("accessRows"));
    auto* rows = new QVBoxLayout(m_accessRows);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    m_addressRow = new CompletionInfoRow(CompletionInfoRow::addressLabel(), state.devtronUrl(),
                                         true, true, m_accessRows);
    rows->addWidget(m_addressRow);
    auto* userRow =
        new CompletionInfoRow(tr("用户名"), state.devtronUsername(), true, false, m_accessRows);
    rows->addWidget(userRow);
    for (const CompletionInfoRow* row : {m_addressRow, userRow}) {
        connect(row, &CompletionInfoRow::copyRequested, m_controller,
                &CompletionController::copyToClipboard);
    }
    rows->addWidget(buildPasswordRow(m_accessRows));
    m_addressSource = Labels::text({}, Palette::font(11), Palette::secondaryText(), m_accessRows);
    m_addressSource->setObjectName(QStringLiteral("addressSource"));
    rows->addWidget(m_addressSource);
    box->layout()->addWidget(m_accessRows);
    m_tunnelBox = new QWidget(box);
    m_tunnelBox->setObjectName(QStringLiteral("tunnelBox"));
    auto* tunnel = new QVBoxLayout(m_tunnelBox);
    tunnel->setContentsMargins(0, 6, 0, 0);
    tunnel->setSpacing(4);
    m_tunnelNote = Labels::text({}, Palette::font(12), Palette::secondaryText(), m_tunnelBox);
    m_tunnelNote->setObjectName(QStringLiteral("tunnelNote"));
    m_tunnelNote->setWordWrap(true);
    tunnel->addWidget(m_tunnelNote);
    box->layout()->addWidget(m_tunnelBox);
    box->layout()->addWidget(buildUnreadBox(box));
    m_accessTimeout = Labels::text(tr("服务启动超时，无法获取完整访问信息"), Palette::font(12),
                                   Palette::secondaryText(), box);
    m_accessTimeout->setObjectName(QStringLiteral("accessTimeout"));
    box->layout()->addWidget(m_accessTimeout);
    layout->addWidget(box);

    m_readinessText = Labels::text({}, Palette::font(12), Palette::secondaryText(), section);
    m_readinessText->setObjectName(QStringLiteral("readinessLabel"));
    m_readinessText->setWordWrap(true);
    layout->addWidget(m_readinessText);
    connect(&m_controller->readiness(), &ReadinessWatcher::changed, this, [this] {
        m_readinessText->setText(m_controller->readiness().summary());
        m_readinessText->setVisible(m_controller->layout() ==
                                    CompletionController::Layout::complete);
    });
    m_readinessText->hide();

    m_keepWarning = makeIconLine(
        makeIcon(QStringLiteral("exclamationmark.triangle"), 12, Palette::orange(), section),
        Labels::text(tr("请妥善保存访问信息，丢失后需要重新安装才能恢复"), Palette::font(12),
                     Palette::secondaryText(), section),
        section);
    m_keepWarning->setObjectName(QStringLiteral("keepWarning"));
    layout->addWidget(m_keepWarning);
    m_accessSection = section;
    return section;
}

QWidget* CompletionView::buildPasswordRow(QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("passwordRow"));
    row->setAccessibleName(tr("密码"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(6);
    QLabel* name = Labels::text(tr("密码"), Palette::font(12), Palette::secondaryText(), row);
    name->setFixedWidth(60);
    layout->addWidget(name);
    m_password = Labels::text(QString(), Palette::font(12), Palette::primaryText(), row);
    m_password->setObjectName(QStringLiteral("password"));
    // Like the address and the user name: selectable, and named by its label.
    m_password->setTextInteractionFlags(Qt::TextSelectableByMouse);
    name->setBuddy(m_password);
    layout->addWidget(m_password);
    layout->addStretch();
    m_eyeButton =
        makeRowButton(QStringLiteral("eye"), QStringLiteral("eyeButton"), tr("显示密码"), row);
    connect(m_eyeButton, &QPushButton::clicked, m_controller,
            &CompletionController::togglePasswordVisible);
    layout->addWidget(m_eyeButton);
    m_copyPassword = makeRowButton(QStringLiteral("doc.on.doc"), QStringLiteral("copyPassword"),
                                   tr("复制密码"), row);
    connect(m_copyPassword, &QPushButton::clicked, m_controller,
            &CompletionController::copyPassword);
    layout->addWidget(m_copyPassword);
    return row;
}

QWidget* CompletionView::buildUnreadBox(QWidget* parent) {
    m_unreadBox = new QWidget(parent);
    m_unreadBox->setObjectName(QStringLiteral("unreadBox"));
    auto* layout = new QVBoxLayout(m_unreadBox);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(6);
    m_unreadReasons = Labels::text({}, Palette::font(12), Palette::orange(), m_unreadBox);
    m_unreadReasons->setObjectName(QStringLiteral("unreadReasons"));
    m_unreadReasons->setWordWrap(true);
    layout->addWidget(m_unreadReasons);
    layout->addWidget(Labels::text(tr("也可在终端中执行以下命令手动读取："), Palette::font(12),
                                   Palette::secondaryText(), m_unreadBox));
    m_manualCommands = new QWidget(m_unreadBox);
    m_manualCommands->setLayout(new QVBoxLayout);
    m_manualCommands->layout()->setContentsMargins(0, 0, 0, 0);
    m_manualCommands->layout()->setSpacing(4);
    layout->addWidget(m_manualCommands);

    auto* actions = new QHBoxLayout;
    actions->setContentsMargins(0, 0, 0, 0);
    actions->setSpacing(8);
    m_rereadButton = Buttons::secondary(tr("重新读取"), m_unreadBox);
    m_rereadButton->setObjectName(QStringLiteral("rereadButton"));
    connect(m_rereadButton, &QPushButton::clicked, m_controller,
            &CompletionController::retrieveDevtronCredentials);
    actions->addWidget(m_rereadButton);
    m_rereadBusy = makeIconLine(nullptr,
                                Labels::text(tr("正在获取Devtron凭证..."), Palette::font(12),
                                             Palette::primaryText(), m_unreadBox),
                                m_unreadBox);
    static_cast<QHBoxLayout*>(m_rereadBusy->layout())
        ->insertWidget(0, new BusyIndicator(Palette::grey(), 12, m_rereadBusy));
    actions->addWidget(m_rereadBusy);
    actions->addStretch();
    layout->addLayout(actions);
    return m_unreadBox;
}

QWidget* CompletionView::commandLine(const QString& command, const QString& name,
                                     const QString& copyName, QWidget* parent) {
    QFrame* box = makeBox(name, Palette::withOpacity(Palette::black(), 0.05), 10, 0, parent);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    const QFont font = Palette::monospaceFont(12);
    QLabel* text = Labels::text(QFontMetrics(font).elidedText(command, Qt::ElideRight, 440), font,
                                Palette::primaryText(), box);
    // The elided text never widens the screen past its window.
    text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    text->setObjectName(QStringLiteral("command"));
    text->setToolTip(command);
    line->addWidget(text, 1);
    QPushButton* copy = makeRowButton(QStringLiteral("doc.on.doc"), copyName, tr("复制命令"), box);
    connect(copy, &QPushButton::clicked, m_controller,
            [this, command] { m_controller->copyToClipboard(command); });
    line->addWidget(copy);
    static_cast<QVBoxLayout*>(box->layout())->addLayout(line);
    return box;
}

QWidget* CompletionView::buildCommandSection() {
    QWidget* section = makeSection(QStringLiteral("commandSection"), this);
    auto* layout = section->layout();
    layout->addWidget(makeHeading(tr("配置命令行环境"), section));
    QLabel* explanation =
        Labels::text(tr("因Linux系统权限限制，需在终端中执行以下命令以使用kubectl和helm工具："),
                     Palette::font(13), Palette::secondaryText(), section);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    layout->addWidget(commandLine(m_controller->commandText(), QStringLiteral("commandBox"),
                                  QStringLiteral("copyCommand"), section));
    if (const QString note = m_controller->kubeconfigNote(); !note.isEmpty()) {
        QLabel* line = Labels::text(note, Palette::font(12), Palette::secondaryText(), section);
        line->setObjectName(QStringLiteral("kubeconfigNote"));
        line->setWordWrap(true);
        layout->addWidget(line);
    }
    return section;
}

QWidget* CompletionView::buildToolsSection() {
    QWidget* section = makeSection(QStringLiteral("toolsSection"), this);
    auto* layout = section->layout();
    layout->addWidget(makeHeading(tr("已安装工具"), section));
    QFrame* box = makeBox(QStringLiteral("toolsBox"), Palette::withOpacity(Palette::grey(), 0.05),
                          12, 8, section);
    box->layout()->addWidget(
        new InstalledToolRow(QStringLiteral("Kubectl"), tr("已安装"), false, box));
    box->layout()->addWidget(
        new InstalledToolRow(QStringLiteral("Helm"), tr("已安装"), false, box));
    box->layout()->addWidget(
        new InstalledToolRow(QStringLiteral("Kubeconfig"), tr("已配置"), false, box));
    m_devtronRow = new InstalledToolRow(QStringLiteral("Devtron"), QString(), false, box);
    box->layout()->addWidget(m_devtronRow);
    layout->addWidget(box);
    m_choicesText = Labels::text({}, Palette::font(12), Palette::secondaryText(), section);
    m_choicesText->setObjectName(QStringLiteral("choicesText"));
    layout->addWidget(m_choicesText);
    return section;
}

QWidget* CompletionView::buildLogButton() {
    auto* button = new QPushButton(this);
    button->setObjectName(QStringLiteral("logButton"));
    // Its text is a label inside it, which a screen reader does not take for the button's name.
    button->setAccessibleName(tr("查看安装日志"));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton#logButton { background-color: %1; border: "
                                         "none; border-radius: 6px; padding: 12px; }")
                              .arg(Palette::css(Palette::withOpacity(Palette::grey(), 0.05))));
    auto* layout = new QHBoxLayout(button);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(6);
    layout->addWidget(
        makeIcon(QStringLiteral("doc.text.magnifyingglass"), 12, Palette::primaryText(), button));
    layout->addWidget(
        Labels::text(tr("查看安装日志"), Palette::font(13), Palette::primaryText(), button));
    layout->addStretch();
    layout->addWidget(makeIcon(QStringLiteral("chevron.right"), 10, Palette::grey(), button));
    button->setMinimumHeight(40);
    connect(button, &QPushButton::clicked, m_controller,
            [this] { m_controller->setShowingLogViewer(true); });
    return button;
}

QWidget* CompletionView::buildTimeRow() {
    m_timeText = Labels::text({}, Palette::font(12), Palette::secondaryText(), this);
    m_timeText->setObjectName(QStringLiteral("timeText"));
    m_timeRow = makeIconLine(makeIcon(QStringLiteral("clock"), 11, Palette::secondaryText(), this),
                             m_timeText, this);
    m_timeRow->setObjectName(QStringLiteral("timeRow"));
    return m_timeRow;
}

void CompletionView::updateTime() {
    // The step changes before the run's time is stored, so the line follows the session.
    const QString text = m_controller->installationTimeText();
    m_timeText->setText(text);
    m_timeRow->setVisible(!text.isEmpty());
}

void CompletionView::updateLayout() {
    using Layout = CompletionController::Layout;
    const Layout layout = m_controller->layout();
    setSubtitle(m_controller->subtitle(),
                m_controller->isIncomplete() ? Palette::orange() : Palette::secondaryText());
    m_timeoutNotice->setVisible(layout == Layout::timedOut);
    m_accessSection->setVisible(layout != Layout::toolsOnly);
    m_accessRows->setVisible(layout == Layout::complete);
    m_accessTimeout->setVisible(layout == Layout::timedOut);
    m_keepWarning->setVisible(layout == Layout::complete);
    m_devtronRow->setVisible(layout != Layout::toolsOnly);
    m_devtronRow->setStatus(m_controller->devtronToolStatus(), layout == Layout::timedOut);
    m_choicesText->setText(m_controller->installedChoicesText());
    m_choicesText->setVisible(!m_choicesText->text().isEmpty());
    if (m_unreadBox != nullptr) {
        updateAccess();
    }
}

void CompletionView::updateAccess() {
    m_addressRow->setValue(m_controller->state().devtronUrl(),
                           m_controller->isOpeningTunnel() ? tr("正在建立本地隧道...") : QString());
    const QString source = m_controller->addressSourceText();
    m_addressSource->setText(source);
    m_addressSource->setVisible(!source.isEmpty());
    const QString note = m_controller->tunnelNote();
    m_tunnelNote->setText(note);
    m_tunnelBox->setVisible(!note.isEmpty());
    if (!note.isEmpty() && m_shownTunnelCommand != m_controller->tunnelCommand()) {
        m_shownTunnelCommand = m_controller->tunnelCommand();
        delete m_tunnelCommand;
        m_tunnelCommand = commandLine(m_shownTunnelCommand, QStringLiteral("tunnelCommandBox"),
                                      QStringLiteral("copyTunnelCommand"), m_tunnelBox);
        m_tunnelBox->layout()->addWidget(m_tunnelCommand);
    }
    const QStringList unread = m_controller->unreadLines();
    const QStringList commands = m_controller->manualCommands();
    m_unreadBox->setVisible(m_controller->layout() == CompletionController::Layout::complete &&
                            !commands.isEmpty());
    m_unreadReasons->setText(unread.join(QLatin1Char('\n')));
    m_unreadReasons->setVisible(!unread.isEmpty());
    while (QLayoutItem* item = m_manualCommands->layout()->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString& command : commands) {
        m_manualCommands->layout()->addWidget(commandLine(command, QStringLiteral("manualCommand"),
                                                          QStringLiteral("copyManualCommand"),
                                                          m_manualCommands));
    }
    const bool retrieving = m_controller->isRetrievingCredentials();
    m_rereadButton->setEnabled(!retrieving);
    m_rereadBusy->setVisible(retrieving);
    updatePassword();
}

void CompletionView::updatePassword() {
    const bool visible = m_controller->isPasswordVisible();
    const bool read = m_controller->isPasswordRead();
    const bool pending = m_controller->isPasswordPending();
    m_password->setText(read      ? m_controller->passwordText()
                        : pending ? tr("尚未生成")
                                  : CompletionInfoRow::unreadText());
    Labels::setColour(m_password, read      ? Palette::primaryText()
                                  : pending ? Palette::secondaryText()
                                            : Palette::orange());
    m_eyeButton->setVisible(read);
    m_copyPassword->setVisible(read);
    m_eyeButton->setIcon(IconRegistry::icon(
        visible ? QStringLiteral("eye.slash") : QStringLiteral("eye"), Palette::grey()));
    m_eyeButton->setAccessibleName(visible ? tr("隐藏密码") : tr("显示密码"));
}

void CompletionView::ensureSaveAlert() {
    if (m_saveAlert) {
        return;
    }
    m_saveAlert = new QMessageBox(this);
    m_saveAlert->setObjectName(QStringLiteral("saveAlert"));
    m_saveAlert->setWindowTitle(tr("保存访问信息"));
    m_saveAlert->setText(tr("保存访问信息"));
    m_saveAlert->setInformativeText(
        tr("访问信息丢失后需要重新安装才能恢复。现在要复制这些信息到剪贴板吗？"));
    QPushButton* copy = m_saveAlert->addButton(tr("复制信息"), QMessageBox::AcceptRole);
    QPushButton* direct = m_saveAlert->addButton(tr("直接完成"), QMessageBox::DestructiveRole);
    m_saveAlert->setDefaultButton(copy);
    AlertDialog::useWarningIcon(m_saveAlert);
    // Neither button may stand for Escape, which QMessageBox then ignores: Escape leaves the box
    // and stays on the screen, as the window's close button would.
    auto* escape = new QShortcut(QKeySequence::Cancel, m_saveAlert);
    connect(escape, &QShortcut::activated, m_controller,
            [this] { m_controller->setShowSaveAlert(false); });
    connect(m_saveAlert, &QDialog::finished, this, [this, copy, direct] {
        QAbstractButton* clicked = m_saveAlert->clickedButton();
        if (clicked == copy) {
            m_controller->copyAllInfo();
        } else if (clicked == direct) {
            m_controller->finishWithoutCopy();
        } else {
            m_controller->setShowSaveAlert(false);
        }
    });
}

void CompletionView::updateSaveAlert() {
    if (!m_controller->showSaveAlert()) {
        if (m_saveAlert && m_saveAlert->isVisible()) {
            m_saveAlert->hide();
        }
        return;
    }
    ensureSaveAlert();
    if (!m_saveAlert->isVisible()) {
        m_saveAlert->open();
    }
}

void CompletionView::updateSaveFailure() {
    const QString failure = m_controller->saveFailure();
    if (failure.isEmpty()) {
        return;
    }
    enum { stay, retry, quit };
    // Escape stays with the access data, which is still on screen to be copied.
    QMessageBox* alert =
        AlertDialog::open(this,
                          {tr("保存到钥匙串失败"),
                           tr("保存到钥匙串失败"),
                           //: %1 is why the keychain refused the access details.
                           tr("%1\n\n访问信息仍在窗口中，您可以先复制再退出。").arg(failure),
                           {tr("返回"), tr("重试"), tr("退出")},
                           stay},
                          [this](int button) {
                              if (button == retry) {
                                  m_controller->retrySave();
                              } else if (button == quit) {
                                  m_controller->quitWithoutSaving();
                              } else {
                                  m_controller->dismissSaveFailure();
                              }
                          });
    if (alert != nullptr) {
        alert->setObjectName(QStringLiteral("saveFailureAlert"));
    }
}

void CompletionView::showNotice(const QString& title) {
    m_notice->flash(title);
}
