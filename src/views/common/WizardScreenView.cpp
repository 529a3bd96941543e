#include "views/common/WizardScreenView.h"

#include "views/common/BusyIndicator.h"
#include "views/common/Buttons.h"
#include "views/common/KeyboardAccess.h"
#include "views/common/Labels.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

WizardScreenView::WizardScreenView(const Frame& frame, QWidget* parent)
    : QWidget(parent), m_scroll(makeScrollArea(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 30, 30, 30);
    layout->setSpacing(24);
    layout->addWidget(buildHeader(frame));

    m_scroll->setObjectName(QStringLiteral("screenScroll"));
    // Parts of a long body have no control that Tab could bring into view: while the body
    // overflows, the area itself is a Tab stop whose arrow and page keys scroll it.
    m_scroll->setAccessibleName(frame.title);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::rangeChanged, m_scroll,
            [scroll = m_scroll](int /*minimum*/, int maximum) {
                scroll->setFocusPolicy(maximum > 0 ? Qt::TabFocus : Qt::NoFocus);
            });
    layout->addWidget(m_scroll, 1);
    layout->addWidget(buildNavigation(frame));
    KeyboardAccess::returnPresses(this, m_nextButton);
}

QWidget* WizardScreenView::buildHeader(const Frame& frame) {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    QLabel* title =
        Labels::text(frame.title, Palette::font(20, QFont::Medium), Palette::primaryText(), header);
    KeyboardAccess::markTitle(title);
    layout->addWidget(title);
    QLabel* subtitle =
        Labels::text(frame.subtitle, Palette::font(13), Palette::secondaryText(), header);
    subtitle->setWordWrap(true);
    layout->addWidget(subtitle);
    return header;
}

QWidget* WizardScreenView::buildNavigation(const Frame& frame) {
    auto* row = new QWidget(this);
    row->setFixedHeight(36);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    if (frame.hasBackButton) {
        m_backButton = Buttons::secondary(QStringLiteral("上一步"), row);
        m_backButton->setObjectName(QStringLiteral("backButton"));
        layout->addWidget(m_backButton);
    }
    layout->addStretch();

    m_nextButton = Buttons::primary(QStringLiteral("下一步"), row, frame.nextDisabledFill);
    m_nextButton->setObjectName(QStringLiteral("nextButton"));
    // Keeps its size while the label gives way to the spinner.
    m_nextButton->setFixedSize(m_nextButton->sizeHint());
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
}

void WizardScreenView::chainTabs(QList<QWidget*> bodyControls) {
    bodyControls << m_scroll << m_backButton << m_nextButton;
    KeyboardAccess::chainTabs(this, bodyControls);
}

void WizardScreenView::setNextEnabled(bool enabled) {
    // Disabling the focused button would hand the focus on to the next control, where a key
    // meant for "下一步" would land (Space on the switch): the screen holds it meanwhile.
    if (!enabled && window()->focusWidget() == m_nextButton) {
        m_focusWaitsForNext = true;
        setFocus(Qt::OtherFocusReason);
    }
    m_nextButton->setEnabled(enabled);
    if (enabled && m_focusWaitsForNext) {
        m_focusWaitsForNext = false;
        // Compared with the window's focus: an alert over the window may be active.
        if (window()->focusWidget() == this) {
            m_nextButton->setFocus(Qt::OtherFocusReason);
        }
    }
}

void WizardScreenView::setNextBusy(bool busy) {
    m_nextButton->setText(busy ? QString() : QStringLiteral("下一步"));
    m_nextBusy->setVisible(busy);
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
    scroll->setStyleSheet(
        QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"
                       "QScrollBar:vertical { width: 8px; background: transparent; margin: 0; }"
                       "QScrollBar::handle:vertical { background: %1; border-radius: 4px; "
                       "min-height: 24px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { "
                       "background: none; }")
            .arg(Palette::css(Palette::withOpacity(Palette::grey(), 0.45))));
    return scroll;
}
