#include "views/common/WizardScreenView.h"

#include "views/common/BusyIndicator.h"
#include "views/common/Buttons.h"
#include "views/common/FocusRing.h"
#include "views/common/KeyboardAccess.h"
#include "views/common/Labels.h"
#include "views/common/SlimScrollBarStyle.h"
#include "views/style/Palette.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int nextMinimumWidth = 56;
constexpr int margin = 30;
constexpr int spacing = 24;
// The scroll area reaches this far past the screen's margins, and its body keeps it free, so that
// the focus ring of a control at the body's edge is not cut by the view port (nor drawn over the
// control); the body's contents stay in line with the header and the navigation row.
constexpr int ringRoom = FocusRing::outset;

} // namespace

WizardScreenView::WizardScreenView(const Frame& frame, QWidget* parent)
    : QWidget(parent), m_scroll(makeScrollArea(this)), m_nextText(frame.nextText) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin - ringRoom, margin, margin - ringRoom, margin);
    layout->setSpacing(spacing - ringRoom);
    layout->addWidget(buildHeader(frame));

    m_scroll->setObjectName(QStringLiteral("screenScroll"));
    m_scroll->setAccessibleName(frame.title);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(buildNavigation(frame));
    KeyboardAccess::returnPresses(this, m_nextButton);
    // Tab may wrap from the navigation row into the body, to a control scrolled out of view:
    // bring whatever takes the focus inside the body into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* /*old*/, QWidget* now) {
        if (now != nullptr && m_scroll->widget() != nullptr &&
            m_scroll->widget()->isAncestorOf(now)) {
            m_scroll->ensureWidgetVisible(now);
        }
    });
}

QWidget* WizardScreenView::buildHeader(const Frame& frame) {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(ringRoom, 0, ringRoom, 0);
    layout->setSpacing(8);
    m_title =
        Labels::text(frame.title, Palette::font(20, QFont::Medium), Palette::primaryText(), header);
    m_title->setObjectName(QStringLiteral("title"));
    KeyboardAccess::markTitle(m_title);
    layout->addWidget(m_title);
    m_subtitle = Labels::text(frame.subtitle, Palette::font(13), Palette::secondaryText(), header);
    m_subtitle->setObjectName(QStringLiteral("subtitle"));
    m_subtitle->setWordWrap(true);
    layout->addWidget(m_subtitle);
    return header;
}

QWidget* WizardScreenView::buildNavigation(const Frame& frame) {
    auto* row = new QWidget(this);
    m_navigation = row;
    row->setFixedHeight(36);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(ringRoom, 0, ringRoom, 0);
    if (frame.hasBackButton) {
        m_backButton = Buttons::secondary(tr("上一步"), row);
        m_backButton->setObjectName(QStringLiteral("backButton"));
        layout->addWidget(m_backButton);
    }
    layout->addStretch();

    m_nextButton = Buttons::primary(frame.nextText, row, frame.nextDisabledFill);
    m_nextButton->setObjectName(QStringLiteral("nextButton"));
    // Keeps its size while the label gives way to the spinner; a two-character label ("完成")
    // still makes a button of fair width.
    QSize size = m_nextButton->sizeHint();
    size.setWidth(qMax(size.width(), nextMinimumWidth));
    m_nextButton->setFixedSize(size);
    auto* inside = new QHBoxLayout(m_nextButton);
    inside->setContentsMargins(0, 0, 0, 0);
    m_nextBusy = new BusyIndicator(Palette::white(), 14, m_nextButton);
    m_nextBusy->setObjectName(QStringLiteral("busyIndicator"));
    m_nextBusy->hide();
    inside->addWidget(m_nextBusy, 0, Qt::AlignCenter);
    layout->addWidget(m_nextButton);
    return row;
}

void WizardScreenView::setBody(QWidget* body) {
    m_scroll->setWidget(body);
    // The area fills what it is given with the window's colour; the body shows the screen's.
    body->setAutoFillBackground(false);
    body->setContentsMargins(ringRoom, ringRoom, ringRoom, ringRoom);
    // Taking its parent put the body at the end of the focus chain, behind the navigation row
    // built before it; the row, given its parent anew, goes behind the body. (setTabOrder cannot
    // move a widget behind the last of the chain in Qt 6.4.)
    layout()->removeWidget(m_navigation);
    m_navigation->setParent(nullptr);
    layout()->addWidget(m_navigation);
}

void WizardScreenView::chainTabs(QList<QWidget*> bodyControls) {
    // Parts of a long body have no control that Tab could bring into view: while the body
    // overflows, the area itself is a Tab stop whose arrow and page keys scroll it.
    connect(m_scroll->verticalScrollBar(), &QScrollBar::rangeChanged, m_scroll,
            [scroll = m_scroll](int /*minimum*/, int maximum) {
                scroll->setFocusPolicy(maximum > 0 ? Qt::TabFocus : Qt::NoFocus);
            });
    bodyControls << m_scroll << m_backButton << m_nextButton;
    KeyboardAccess::chainTabs(this, bodyControls);
}

void WizardScreenView::setNextEnabled(bool enabled) {
    // Disabling the focused button would hand the focus on to the next control, where a key
    // meant for "下一步" would land (Space on the switch): the screen holds it meanwhile.
    if (!enabled && window()->focusWidget() == m_nextButton) {
        m_focusWaitsForNext = true;
        const bool holderShown =
            m_busyFocusHolder != nullptr && m_busyFocusHolder->isVisibleTo(this);
        (holderShown ? m_busyFocusHolder : this)->setFocus(Qt::OtherFocusReason);
    }
    m_nextButton->setEnabled(enabled);
    if (enabled && m_focusWaitsForNext) {
        m_focusWaitsForNext = false;
        // Compared with the window's focus: an alert over the window may be active.
        const QWidget* focus = window()->focusWidget();
        if (focus == this || (focus != nullptr && focus == m_busyFocusHolder)) {
            m_nextButton->setFocus(Qt::OtherFocusReason);
        }
    }
}

void WizardScreenView::setBusyFocusHolder(QWidget* holder) {
    m_busyFocusHolder = holder;
    // Focusable to a reader, yet no Tab stop.
    holder->setFocusPolicy(Qt::ClickFocus);
}

void WizardScreenView::setNextBusy(bool busy) {
    m_nextButton->setText(busy ? QString() : m_nextText);
    m_nextBusy->setVisible(busy);
}

void WizardScreenView::setTitle(const QString& title) {
    m_title->setText(title);
    m_scroll->setAccessibleName(title);
}

void WizardScreenView::setSubtitle(const QString& subtitle, const QColor& colour) {
    m_subtitle->setText(subtitle);
    Labels::setColour(m_subtitle, colour);
}

QLabel* WizardScreenView::addNavigationNote(const QString& text) {
    QLabel* note = Labels::text(text, Palette::font(11), Palette::secondaryText(), m_navigation);
    auto* layout = static_cast<QHBoxLayout*>(m_navigation->layout());
    // Before the free space that pushes the way on to the right.
    layout->insertWidget(layout->count() - 2, note);
    return note;
}

QScrollArea* WizardScreenView::makeScrollArea(QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The body sits on the screen's own background, with a slim flat scroll bar in place of the
    // style's bevelled one with arrow buttons. The area is no Tab stop of its own: Tab brings the
    // controls inside into view.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->viewport()->setAutoFillBackground(false);
    // Set on the area's own bar, so that a scrolling box inside the body keeps the usual one.
    scroll->verticalScrollBar()->setStyle(SlimScrollBarStyle::instance());
    return scroll;
}
