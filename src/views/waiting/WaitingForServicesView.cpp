#include "views/waiting/WaitingForServicesView.h"

#include "views/common/BusyIndicator.h"
#include "views/common/Labels.h"
#include "views/common/LiveStatus.h"
#include "views/common/ProgressBar.h"
#include "views/common/RoundedPanel.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"
#include "views/waiting/WaitingForServicesController.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QFrame* makeBox(const QString& name, QWidget* parent) {
    auto* box = new RoundedPanel(Palette::withOpacity(Palette::grey(), 0.05), 8, parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(8);
    return box;
}

QWidget* makeRow(const QString& name, QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(name);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    return row;
}

} // namespace

WaitingForServicesView::WaitingForServicesView(InstallationState& state, QWidget* parent)
    : WizardScreenView({tr("等待服务启动"), QString(), false}, parent),
      m_controller(new WaitingForServicesController(state, this)) {
    setSubtitle(m_controller->isInstallMode() ? tr("Devtron服务正在启动中，请稍候...")
                                              : tr("正在完成环境配置..."),
                Palette::secondaryText());
    subtitleLabel()->setObjectName(QStringLiteral("subtitleLabel"));
    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(16);
    contentLayout->addWidget(buildStatusBox(content));
    contentLayout->addWidget(buildDevtronBox(content));
    contentLayout->addStretch();
    setBody(content);

    m_footerText = addNavigationNote(m_controller->isInstallMode() ? tr("正在初始化Devtron服务...")
                                                                   : tr("正在完成环境配置..."));
    m_footerText->setObjectName(QStringLiteral("footerLabel"));

    const WaitingForServicesController* controller = m_controller;
    connect(controller, &WaitingForServicesController::remainingTimeChanged, this,
            &WaitingForServicesView::refresh);
    connect(controller, &WaitingForServicesController::isRetrievingCredentialsChanged, this,
            &WaitingForServicesView::refresh);
    connect(controller, &WaitingForServicesController::isCompleteChanged, this,
            &WaitingForServicesView::refresh);
    connect(&m_controller->readiness(), &ReadinessWatcher::changed, this,
            &WaitingForServicesView::refresh);
    connect(nextButton(), &QPushButton::clicked, m_controller,
            &WaitingForServicesController::moveToNextStep);
    refresh();
}

void WaitingForServicesView::showEvent(QShowEvent* event) {
    WizardScreenView::showEvent(event);
    // A window restored from the task bar is no new visit to the step.
    if (!event->spontaneous()) {
        m_controller->start();
    }
}

void WaitingForServicesView::hideEvent(QHideEvent* event) {
    WizardScreenView::hideEvent(event);
    if (!event->spontaneous()) {
        m_controller->stopTimer();
    }
}

QWidget* WaitingForServicesView::buildStatusBox(QWidget* parent) {
    QFrame* box = makeBox(QStringLiteral("statusBox"), parent);
    auto* layout = box->layout();
    layout->addWidget(
        Labels::text(tr("状态"), Palette::font(13, QFont::Medium), Palette::primaryText(), box));

    m_countdownRow = new QWidget(box);
    m_countdownRow->setObjectName(QStringLiteral("countdownRow"));
    auto* countdown = new QVBoxLayout(m_countdownRow);
    countdown->setContentsMargins(0, 0, 0, 0);
    countdown->setSpacing(8);
    m_countdownLabel = new LiveStatus(Palette::font(12), Palette::primaryText(), m_countdownRow);
    m_countdownLabel->setObjectName(QStringLiteral("countdownLabel"));
    countdown->addWidget(m_countdownLabel);
    m_waitBar = new ProgressBar(0.0, m_countdownRow);
    m_waitBar->setObjectName(QStringLiteral("waitProgressBar"));
    m_waitBar->setAccessibleName(tr("等待进度"));
    m_waitBar->setFixedHeight(5);
    countdown->addWidget(m_waitBar);
    layout->addWidget(m_countdownRow);

    m_retrievingRow = makeRow(QStringLiteral("retrievingRow"), box);
    m_retrievingRow->layout()->addWidget(new BusyIndicator(Palette::grey(), 12, m_retrievingRow));
    m_retrievingText = new LiveStatus(Palette::font(12), Palette::primaryText(), m_retrievingRow);
    m_retrievingRow->layout()->addWidget(m_retrievingText);
    static_cast<QHBoxLayout*>(m_retrievingRow->layout())->addStretch();
    layout->addWidget(m_retrievingRow);

    m_readyRow = makeRow(QStringLiteral("readyRow"), box);
    auto* mark = new QLabel(m_readyRow);
    mark->setPixmap(
        IconRegistry::pixmap(QStringLiteral("checkmark.circle.fill"), 12, Palette::green()));
    m_readyRow->layout()->addWidget(mark);
    m_readyText = new LiveStatus(Palette::font(12), Palette::green(), m_readyRow);
    m_readyRow->layout()->addWidget(m_readyText);
    static_cast<QHBoxLayout*>(m_readyRow->layout())->addStretch();
    layout->addWidget(m_readyRow);

    m_unreadRow = makeRow(QStringLiteral("unreadRow"), box);
    auto* warning = new QLabel(m_unreadRow);
    warning->setPixmap(IconRegistry::pixmap(QStringLiteral("exclamationmark.triangle.fill"), 12,
                                            Palette::orange()));
    warning->setAlignment(Qt::AlignTop);
    m_unreadRow->layout()->addWidget(warning);
    m_unreadText = new LiveStatus(Palette::font(12), Palette::orange(), m_unreadRow);
    m_unreadText->setObjectName(QStringLiteral("unreadLabel"));
    m_unreadText->setWordWrap(true);
    m_unreadRow->layout()->addWidget(m_unreadText);
    static_cast<QHBoxLayout*>(m_unreadRow->layout())->setStretch(1, 1);
    layout->addWidget(m_unreadRow);
    return box;
}

QWidget* WaitingForServicesView::buildDevtronBox(QWidget* parent) {
    QFrame* box = makeBox(QStringLiteral("devtronBox"), parent);
    QLabel* heading = Labels::text(tr("Devtron服务"), Palette::font(13, QFont::Medium),
                                   Palette::primaryText(), box);
    box->layout()->addWidget(heading);
    m_devtronText = Labels::text({}, Palette::font(12), Palette::secondaryText(), box);
    m_devtronText->setObjectName(QStringLiteral("devtronStatusLabel"));
    box->layout()->addWidget(m_devtronText);
    m_readinessText = Labels::text({}, Palette::font(12), Palette::secondaryText(), box);
    m_readinessText->setObjectName(QStringLiteral("readinessLabel"));
    m_readinessText->setWordWrap(true);
    box->layout()->addWidget(m_readinessText);
    box->setVisible(m_controller->isInstallMode());
    m_devtronBox = box;
    return box;
}

void WaitingForServicesView::refresh() {
    using Status = WaitingForServicesController::Status;
    const Status status = m_controller->status();
    m_countdownRow->setVisible(status == Status::counting);
    m_retrievingRow->setVisible(status == Status::retrieving);
    m_readyRow->setVisible(status == Status::complete);
    m_unreadRow->setVisible(status == Status::unread);
    const int remaining = m_controller->remainingTime();
    m_countdownLabel->tick(tr("剩余等待时间: %1秒").arg(remaining),
                           std::chrono::seconds(remaining));
    // Each new state is spoken once; the countdown speaks for itself.
    const bool changed = status != m_shownStatus;
    m_shownStatus = status;
    if (changed && status == Status::retrieving) {
        m_retrievingText->announce(tr("正在获取Devtron凭证..."));
    } else if (changed && status == Status::complete) {
        m_readyText->announce(tr("服务已准备就绪"));
    }
    if (status == Status::unread &&
        (changed || m_unreadText->text() != m_controller->unreadText())) {
        m_unreadText->announce(m_controller->unreadText());
    }
    m_waitBar->setProgress(m_controller->waitProgress());

    const bool complete = m_controller->isComplete();
    if (status == Status::unread) {
        m_devtronText->setText(tr("点击「下一步」查看已读取的信息，未读取的可在那里重新读取"));
    } else {
        m_devtronText->setText(complete ? tr("准备就绪，点击「下一步」查看访问信息")
                                        : tr("服务启动后将自动获取访问凭证"));
    }
    const ReadinessWatcher& readiness = m_controller->readiness();
    m_readinessText->setText(readiness.summary());
    m_readinessText->setVisible(readiness.report().has_value() || readiness.isWatching());
    m_footerText->setVisible(!complete);
    QPushButton* next = nextButton();
    const bool nextAppears = complete && next->isHidden();
    next->setVisible(complete);
    // The screen's only control: the reader is taken to it as it appears.
    if (nextAppears) {
        next->setFocus(Qt::OtherFocusReason);
    }
}
