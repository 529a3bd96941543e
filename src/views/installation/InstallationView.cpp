#include "views/installation/InstallationView.h"

#include "session/InstallationState.h"
#include "views/common/BusyIndicator.h"
#include "views/common/FloatingNotice.h"
#include "views/common/Labels.h"
#include "views/common/LiveStatus.h"
#include "views/common/ProgressBar.h"
#include "views/installation/InstallationController.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QVBoxLayout* stack(QWidget* owner, int spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QHBoxLayout* row(QWidget* owner) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

} // namespace

InstallationView::InstallationView(InstallationState& state, QWidget* parent)
    : WizardScreenView({QString(), tr("请稍候，安装过程正在进行中（大约需要3-5分钟）"), false},
                       parent),
      m_state(state), m_controller(new InstallationController(state, this)) {
    auto* body = new QWidget;
    QVBoxLayout* layout = stack(body, 24);
    layout->addWidget(buildProgressBlock(body));
    layout->addWidget(buildLogBlock(body), 1);
    setBody(body);

    m_warning = addNavigationNote(tr("安装过程中请勿关闭应用"));
    m_warning->setObjectName(QStringLiteral("warning"));
    m_warning->setContentsMargins(10, 0, 0, 0);
    chainTabs({m_copyButton, m_logArea});

    connect(nextButton(), &QPushButton::clicked, m_controller,
            &InstallationController::moveToNextStep);
    connect(&m_state, &InstallationState::installDevtronChanged, this,
            &InstallationView::updateTitle);
    connect(&m_state, &InstallationState::installationProgressChanged, this,
            &InstallationView::updateProgress);
    connect(&m_state, &InstallationState::logsChanged, this, &InstallationView::appendNewLogText);
    connect(m_controller, &InstallationController::elapsedTimeChanged, this,
            &InstallationView::updateElapsed);
    connect(m_controller, &InstallationController::isInstallationCompletedChanged, this,
            &InstallationView::updateCompleted);
    connect(m_controller, &InstallationController::isEngineBusyChanged, this,
            &InstallationView::updateCompleted);
    m_notice = new FloatingNotice(this);

    updateTitle();
    updateElapsed();
    updateProgress();
    updateCompleted();
    appendNewLogText();
}

void InstallationView::showEvent(QShowEvent* event) {
    WizardScreenView::showEvent(event);
    // A window restored from the task bar is not the step appearing.
    if (!event->spontaneous()) {
        m_controller->screenShown();
    }
}

void InstallationView::hideEvent(QHideEvent* event) {
    WizardScreenView::hideEvent(event);
    if (!event->spontaneous()) {
        m_controller->screenHidden();
    }
}

QWidget* InstallationView::buildProgressBlock(QWidget* parent) {
    auto* block = new QWidget(parent);
    QVBoxLayout* layout = stack(block, 10);

    auto* heading = new QWidget(block);
    QHBoxLayout* headingRow = row(heading);
    headingRow->addWidget(Labels::text(tr("安装进度"), Palette::font(13, QFont::Medium),
                                       Palette::primaryText(), heading));
    headingRow->addStretch();
    m_elapsed = new LiveStatus(Palette::font(12), Palette::secondaryText(), heading);
    m_elapsed->setObjectName(QStringLiteral("elapsed"));
    headingRow->addWidget(m_elapsed);
    layout->addWidget(heading);

    m_progressBar = new ProgressBar(0.0, block);
    m_progressBar->setAccessibleName(tr("安装进度"));
    m_progressBar->setFixedHeight(5);
    layout->addWidget(m_progressBar);

    auto* status = new QWidget(block);
    QHBoxLayout* statusRow = row(status);
    statusRow->setSpacing(6);
    // The regular spinner at 0.6 of its size, in a 12 by 12 frame.
    m_spinner = new BusyIndicator(Palette::grey(), 12, status);
    m_spinner->setObjectName(QStringLiteral("spinner"));
    statusRow->addWidget(m_spinner);
    m_doneIcon = new QLabel(status);
    m_doneIcon->setObjectName(QStringLiteral("doneIcon"));
    m_doneIcon->setPixmap(
        IconRegistry::pixmap(QStringLiteral("checkmark.circle.fill"), 12, Palette::green()));
    statusRow->addWidget(m_doneIcon);
    m_statusText = new LiveStatus(Palette::font(12), Palette::primaryText(), status);
    m_statusText->setObjectName(QStringLiteral("status"));
    statusRow->addWidget(m_statusText);
    statusRow->addStretch();
    layout->addWidget(status);
    return block;
}

QWidget* InstallationView::buildLogBlock(QWidget* parent) {
    auto* block = new QWidget(parent);
    QVBoxLayout* layout = stack(block, 8);

    auto* heading = new QWidget(block);
    QHBoxLayout* headingRow = row(heading);
    headingRow->addWidget(Labels::text(tr("安装日志"), Palette::font(13, QFont::Medium),
                                       Palette::primaryText(), heading));
    headingRow->addStretch();
    auto* copy = new QPushButton(tr("复制"), heading);
    copy->setObjectName(QStringLiteral("copyButton"));
    copy->setAccessibleName(copy->text());
    copy->setAccessibleDescription(tr("复制安装日志"));
    m_copyButton = copy;
    copy->setFlat(true);
    copy->setFont(Palette::font(11));
    copy->setCursor(Qt::PointingHandCursor);
    copy->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; padding: 0; }")
                            .arg(Palette::css(Palette::blue())));
    connect(copy, &QPushButton::clicked, m_controller,
            &InstallationController::copyLogsToClipboard);
    connect(copy, &QPushButton::clicked, this, [this] { m_notice->flash(tr("已复制")); });
    headingRow->addWidget(copy);
    layout->addWidget(heading);

    m_logArea = new QPlainTextEdit(block);
    m_logArea->setObjectName(QStringLiteral("logArea"));
    m_logArea->setReadOnly(true);
    m_logArea->setAccessibleName(tr("安装日志"));
    m_logArea->setTabChangesFocus(true);
    m_logArea->setFont(Palette::monospaceFont(10));
    m_logArea->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: %1; color: %2; "
                                            "border: none; border-radius: 6px; padding: 6px; }")
                                 .arg(Palette::css(Palette::withOpacity(Palette::grey(), 0.05)),
                                      Palette::css(Palette::primaryText())));
    // The box takes the height left in the window: at a fixed 160 px it reached below the
    // screen's part of the window, which cut off its scroll bar's lower end.
    layout->addWidget(m_logArea, 1);
    return block;
}

void InstallationView::updateTitle() {
    setTitle(m_state.installDevtron() ? tr("正在安装Devtron") : tr("正在配置环境"));
}

void InstallationView::updateElapsed() {
    const double elapsed = m_controller->elapsedTime();
    m_elapsed->tick(tr("已运行: %1").arg(InstallationController::formatTime(elapsed)),
                    std::chrono::seconds(static_cast<long long>(elapsed)));
}

void InstallationView::updateProgress() {
    m_progressBar->setProgress(m_state.installationProgress());
}

void InstallationView::updateCompleted() {
    const bool done = m_controller->isInstallationCompleted();
    m_spinner->setVisible(!done);
    m_doneIcon->setVisible(done);
    // The clock and the bar stand still while the engine looks for an installed release (up to a
    // minute against a slow cluster): say so until the run itself starts.
    const bool checking = !done && m_controller->isEngineBusy() && m_controller->isInstallMode();
    const QString status =
        done ? tr("安装完成")
             : (checking ? tr("正在检查集群中现有的Devtron...") : tr("正在安装..."));
    // The completion flag is announced on every assignment; a reader hears each change once.
    if (m_statusText->text() != status) {
        m_statusText->announce(status);
    }
    Labels::setColour(m_statusText, done ? Palette::green() : Palette::primaryText());
    m_warning->setVisible(!done);
    nextButton()->setVisible(done);
}

void InstallationView::appendNewLogText() {
    // The log only grows: show its new tail, never lay the whole text out again. The copy of
    // `logs` is dropped at once so that the session's next append does not copy the whole log.
    QString tail;
    {
        const QString logs = m_state.logs();
        tail = logs.mid(m_shownLogLength);
        m_shownLogLength = logs.size();
    }
    if (tail.endsWith(QLatin1Char('\n'))) {
        tail.chop(1);
    }
    if (!tail.isEmpty()) {
        // Appending follows the bottom only while the user has not scrolled up.
        m_logArea->appendPlainText(tail);
    }
}
