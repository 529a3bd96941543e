#include "app/ContentView.h"

#include "app/ErrorOverlay.h"
#include "app/StepListView.h"
#include "app/StepScreenFactory.h"
#include "session/InstallationState.h"
#include "views/common/DetailedErrorView.h"
#include "views/common/KeyboardAccess.h"
#include "views/common/Labels.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// `above` blended over the opaque `below`, exactly as the painter blends it on the screen.
QColor layered(const QColor& below, const QColor& above) {
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(below);
    {
        QPainter painter(&pixel);
        painter.fillRect(pixel.rect(), above);
    }
    return pixel.pixelColor(0, 0);
}

constexpr int kColumnWidth = 170;
constexpr int kColumnPaddingX = 20;
constexpr int kColumnPaddingY = 30;
} // namespace

ContentView::ContentView(InstallationState& state, QWidget* parent)
    : QWidget(parent), m_state(state) {
    m_screenArea = new QWidget(this);
    m_screenLayout = new QVBoxLayout(m_screenArea);
    m_screenLayout->setContentsMargins(0, 0, 0, 0);
    m_screenLayout->setSpacing(0);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildSideColumn());
    layout->addWidget(m_screenArea, 1);

    m_shownStep = m_state.currentStep();
    m_screen = createStepScreen(m_shownStep, m_state, m_screenArea);
    m_screenLayout->addWidget(m_screen);
    KeyboardAccess::focusStart(m_screen);

    connect(&m_state, &InstallationState::currentStepChanged, this,
            [this] { showStep(m_state.currentStep()); });
    connect(&m_state, &InstallationState::isShowingErrorChanged, this,
            &ContentView::updateErrorLayers);
    connect(&m_state, &InstallationState::errorMessageChanged, this,
            &ContentView::updateErrorMessage);
    updateErrorLayers();
}

QWidget* ContentView::buildSideColumn() {
    m_sideColumn = new QWidget(this);
    m_sideColumn->setFixedWidth(kColumnWidth + 2 * kColumnPaddingX);

    QLabel* name = Labels::text(QStringLiteral("Nimbrel"), Palette::font(16, QFont::Medium),
                                Palette::withOpacity(Palette::primaryText(), 0.7), m_sideColumn);
    name->setContentsMargins(0, 0, 0, 24);

    m_stepList = new StepListView(m_state, m_sideColumn);

    QLabel* version = Labels::text(QStringLiteral("v" NIMBREL_VERSION), Palette::font(10),
                                   Palette::secondaryText(), m_sideColumn);
    version->setObjectName(QStringLiteral("versionLabel"));

    auto* column = new QVBoxLayout(m_sideColumn);
    column->setContentsMargins(kColumnPaddingX, kColumnPaddingY, kColumnPaddingX, kColumnPaddingY);
    column->setSpacing(16);
    column->addWidget(name, 0, Qt::AlignLeft);
    column->addWidget(m_stepList, 0, Qt::AlignLeft);
    column->addStretch();
    column->addWidget(version, 0, Qt::AlignLeft);
    return m_sideColumn;
}

void ContentView::showStep(InstallationStep step) {
    // The session announces every assignment; an unchanged step keeps its running screen.
    if (step == m_shownStep && !m_screen.isNull()) {
        return;
    }
    m_shownStep = step;
    m_stepList->setCurrentStep(step);
    if (!m_screen.isNull()) {
        // The old screen may be the one whose button changed the step: let its handler return.
        m_screenLayout->removeWidget(m_screen);
        m_screen->hide();
        m_screen->deleteLater();
    }
    m_screen = createStepScreen(step, m_state, m_screenArea);
    m_screenLayout->addWidget(m_screen);
    m_screen->show();
    // Nothing of the new screen has the focus yet, so a screen reader would stay silent. An open
    // error card keeps it: the screen starts when the card closes.
    if (m_errorOverlay.isNull()) {
        KeyboardAccess::focusStart(m_screen);
    }
}

void ContentView::updateErrorLayers() {
    if (!m_state.isShowingError()) {
        if (!m_errorOverlay.isNull()) {
            // Closing comes from the card's own button: delete once that click is handled.
            m_errorOverlay->hide();
            m_errorOverlay->deleteLater();
            m_errorOverlay.clear();
            // The card hands the focus back; when its earlier holder is gone, the screen starts.
            const QWidget* focus = window()->focusWidget();
            if (focus == nullptr || !focus->isVisible() || !m_screen->isAncestorOf(focus)) {
                KeyboardAccess::focusStart(m_screen);
            }
        }
        return;
    }
    if (m_errorOverlay.isNull()) {
        m_errorOverlay = new ErrorOverlay(errorCardText(m_state.errorMessage()), this);
        connect(m_errorOverlay, &ErrorOverlay::dismissRequested, this,
                [this] { m_state.setIsShowingError(false); });
        m_errorOverlay->setGeometry(rect());
    }
    m_errorOverlay->raise();
    m_errorOverlay->show();
}

void ContentView::updateErrorMessage() {
    if (!m_errorOverlay.isNull()) {
        m_errorOverlay->card()->setErrorMessage(errorCardText(m_state.errorMessage()));
    }
}

void ContentView::paintEvent(QPaintEvent* /*event*/) {
    // The translucent layers over the window background are uniform, so each is filled with the
    // colour its blend gives: blending the whole window pixel by pixel cost the first frame
    // two extra threads and a tenth of its painting.
    static const QColor side = layered(Palette::windowBackground(),
                                       Palette::withOpacity(Palette::windowBackground(), 0.5));
    static const QColor screen =
        layered(Palette::windowBackground(), Palette::withOpacity(Palette::white(), 0.01));
    QPainter painter(this);
    painter.fillRect(rect(), Palette::windowBackground());
    painter.fillRect(m_sideColumn->geometry(), side);
    painter.fillRect(m_screenArea->geometry(), screen);
}

void ContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_errorOverlay.isNull()) {
        m_errorOverlay->setGeometry(rect());
    }
}
