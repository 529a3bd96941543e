#include "views/removal/RemovalView.h"

#include "views/common/BusyIndicator.h"
#include "views/common/Buttons.h"
#include "views/common/KeyboardAccess.h"
#include "views/common/Labels.h"
#include "views/common/LiveStatus.h"
#include "views/common/ProgressBar.h"
#include "views/style/Palette.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

using Fate = DevtronRemoval::Fate;
using Kind = DevtronRemoval::Kind;

QString kindName(Kind kind) {
    switch (kind) {
    case Kind::release:
        return RemovalView::tr("Helm发布");
    case Kind::namespace_:
        return RemovalView::tr("命名空间");
    case Kind::crd:
        break;
    }
    return QStringLiteral("CRD");
}

// The items grouped by fate, a heading and a line each.
QString describe(const DevtronRemoval::Items& items, bool finished) {
    const std::pair<Fate, QString> groups[] = {
        {Fate::remove, RemovalView::tr("将删除：")},
        {Fate::removed, RemovalView::tr("已删除：")},
        {Fate::left, RemovalView::tr("未删除：")},
        {Fate::keep, finished ? RemovalView::tr("已保留：") : RemovalView::tr("将保留：")},
    };
    QStringList lines;
    for (const auto& [fate, heading] : groups) {
        QStringList group;
        for (const DevtronRemoval::Item& item : items) {
            if (item.fate != fate) {
                continue;
            }
            const QString what = kindName(item.kind) + QLatin1Char(' ') + item.name;
            //: An object to remove or keep, and its state or why it stays.
            group << (item.detail.isEmpty() ? QStringLiteral("• ") + what
                                            : RemovalView::tr("• %1（%2）").arg(what, item.detail));
        }
        if (!group.isEmpty()) {
            lines << heading << group;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

RemovalView::RemovalView(InstallationState& state, const QString& keychainService, QWidget* parent)
    : QDialog(parent), m_controller(new RemovalController(state, keychainService, this)) {
    setWindowTitle(tr("卸载Devtron"));
    setObjectName(QStringLiteral("removalView"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(620, 420);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    QLabel* title = Labels::text(tr("卸载Devtron"), Palette::font(18, QFont::Medium),
                                 Palette::primaryText(), this);
    KeyboardAccess::markTitle(title);
    layout->addWidget(title);
    QLabel* target = Labels::text(tr("目标集群：%1").arg(m_controller->clusterTarget()),
                                  Palette::font(13), Palette::secondaryText(), this);
    target->setObjectName(QStringLiteral("clusterTarget"));
    target->setWordWrap(true);
    layout->addWidget(target);

    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(8);
    m_busy = new BusyIndicator(Palette::grey(), 18, this);
    statusRow->addWidget(m_busy);
    m_status = new LiveStatus(Palette::font(13), Palette::primaryText(), this);
    m_status->setObjectName(QStringLiteral("removalStatus"));
    m_status->setWordWrap(true);
    statusRow->addWidget(m_status, 1);
    layout->addLayout(statusRow);
    m_progressBar = new ProgressBar(0.0, this);
    m_progressBar->setObjectName(QStringLiteral("removalProgress"));
    m_progressBar->setAccessibleName(tr("卸载进度"));
    m_progressBar->setFixedHeight(6);
    layout->addWidget(m_progressBar);

    // One focusable text, so that Tab reaches the whole list and a reader reads it through.
    m_list = Labels::text({}, Palette::font(12), Palette::primaryText(), this);
    m_list->setObjectName(QStringLiteral("removalItems"));
    m_list->setWordWrap(true);
    m_list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_list->setFocusPolicy(Qt::StrongFocus);
    m_listArea = new QScrollArea(this);
    m_listArea->setWidget(m_list);
    m_listArea->setWidgetResizable(true);
    m_listArea->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_listArea, 1);

    m_prompt = Labels::text(tr("请输入“%1”以确认卸载：").arg(m_controller->expectedConfirmation()),
                            Palette::font(13), Palette::primaryText(), this);
    m_prompt->setWordWrap(true);
    layout->addWidget(m_prompt);
    m_confirmField = new QLineEdit(this);
    m_confirmField->setObjectName(QStringLiteral("confirmField"));
    m_confirmField->setFont(Palette::font(13));
    m_confirmField->setAccessibleName(m_prompt->text());
    m_prompt->setBuddy(m_confirmField);
    layout->addWidget(m_confirmField);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    m_cancelButton = Buttons::secondary(tr("取消"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_retryButton = Buttons::secondary(tr("重试"), this);
    m_retryButton->setObjectName(QStringLiteral("retryButton"));
    m_removeButton = Buttons::primary(tr("卸载"), this);
    m_removeButton->setObjectName(QStringLiteral("removeButton"));
    m_doneButton = Buttons::primary(tr("关闭"), this);
    m_doneButton->setObjectName(QStringLiteral("doneButton"));
    for (QPushButton* button : {m_cancelButton, m_retryButton, m_removeButton, m_doneButton}) {
        button->setAccessibleName(button->text());
        button->setAutoDefault(false);
    }
    buttons->addWidget(m_cancelButton);
    buttons->addStretch(1);
    buttons->addWidget(m_retryButton);
    buttons->addWidget(m_removeButton);
    buttons->addWidget(m_doneButton);
    layout->addLayout(buttons);
    KeyboardAccess::chainTabs(this, {m_list, m_confirmField, m_cancelButton, m_retryButton,
                                     m_removeButton, m_doneButton});
    // Return in the field presses 卸载 once the name matches; a disabled button ignores it.
    connect(m_confirmField, &QLineEdit::returnPressed, m_controller, &RemovalController::remove);

    connect(m_confirmField, &QLineEdit::textEdited, m_controller,
            &RemovalController::setConfirmationText);
    connect(m_controller, &RemovalController::canRemoveChanged, this,
            [this] { m_removeButton->setEnabled(m_controller->canRemove()); });
    connect(m_removeButton, &QPushButton::clicked, m_controller, &RemovalController::remove);
    connect(m_retryButton, &QPushButton::clicked, m_controller, &RemovalController::loadPreview);
    connect(m_cancelButton, &QPushButton::clicked, m_controller, &RemovalController::close);
    connect(m_doneButton, &QPushButton::clicked, m_controller, &RemovalController::close);
    connect(m_controller, &RemovalController::closed, this, [this] { QDialog::reject(); });
    connect(m_controller, &RemovalController::phaseChanged, this, &RemovalView::updatePhase);
    connect(m_controller, &RemovalController::itemsChanged, this, &RemovalView::updateItems);
    connect(m_controller, &RemovalController::progressChanged, this, [this] {
        m_progressBar->setProgress(m_controller->progress());
        if (!m_controller->progressStep().isEmpty() &&
            m_controller->progressStep() != m_status->text()) {
            m_status->announce(m_controller->progressStep());
        }
    });
    m_removeButton->setEnabled(false);
    updatePhase();
}

void RemovalView::reject() {
    m_controller->close();
}

void RemovalView::closeEvent(QCloseEvent* event) {
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    QDialog::closeEvent(event);
}

void RemovalView::updateItems() {
    const bool finished = m_controller->phase() == RemovalController::Phase::finished;
    QString text = describe(m_controller->items(), finished);
    if (finished && !m_controller->keychainFailure().isEmpty()) {
        text += QStringLiteral("\n\n") +
                tr("钥匙串中的访问信息未能删除：%1").arg(m_controller->keychainFailure());
    } else if (finished) {
        text += QStringLiteral("\n\n") + (m_controller->succeeded()
                                              ? tr("钥匙串中保存的访问信息已删除。")
                                              : tr("钥匙串中保存的访问信息已保留。"));
    }
    m_list->setText(text);
    m_list->setAccessibleName(text);
}

void RemovalView::updatePhase() {
    using Phase = RemovalController::Phase;
    const Phase phase = m_controller->phase();
    const bool confirming = phase == Phase::confirming;
    const bool removable = confirming && m_controller->hasSomethingToRemove();
    m_busy->setVisible(phase == Phase::reading || phase == Phase::removing);
    m_progressBar->setVisible(phase == Phase::removing || phase == Phase::finished);
    m_listArea->setVisible(phase != Phase::reading);
    m_prompt->setVisible(removable);
    m_confirmField->setVisible(removable);
    m_confirmField->setEnabled(removable);
    m_cancelButton->setVisible(phase != Phase::finished && phase != Phase::removing);
    m_retryButton->setVisible(phase == Phase::unreadable);
    m_removeButton->setVisible(phase == Phase::confirming || phase == Phase::removing);
    m_removeButton->setEnabled(m_controller->canRemove());
    m_doneButton->setVisible(phase == Phase::finished);
    updateItems();
    switch (phase) {
    case Phase::reading:
        m_status->announce(tr("正在读取集群中的Devtron资源..."));
        break;
    case Phase::confirming:
        m_status->announce(removable ? tr("以下资源将从集群中删除，此操作不可撤销。")
                                     : tr("集群中没有可卸载的Devtron资源。"));
        (removable ? static_cast<QWidget*>(m_confirmField) : m_cancelButton)->setFocus();
        break;
    case Phase::unreadable:
        m_status->announce(m_controller->previewFailure());
        m_retryButton->setFocus();
        break;
    case Phase::removing:
        m_status->announce(tr("正在卸载Devtron..."));
        // The focus leaves the field that is now locked, for the list the run will fill.
        m_list->setFocus();
        break;
    case Phase::finished:
        m_status->announce(m_controller->succeeded() ? tr("Devtron已卸载。")
                                                     : tr("卸载未完成，部分资源仍在集群中。"));
        m_doneButton->setFocus();
        break;
    }
}
