#include "views/DevtronChoiceView.h"

#include "session/InstallationState.h"
#include "views/BusyIndicator.h"
#include "views/ConfigItemRow.h"
#include "views/FeatureRow.h"
#include "views/Palette.h"
#include "views/TextLabel.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString css(const QColor& colour) {
    return colour.name(QColor::HexArgb);
}

// A rounded, tinted panel with 14 pixels of padding around its vertical stack.
QFrame* makeBox(const QString& name, const QColor& background, int spacing, QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    box->setStyleSheet(QStringLiteral("QFrame#%1 { background-color: %2; border-radius: 8px; }")
                           .arg(name, css(background)));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(spacing);
    return box;
}

QLabel* makeBoxHeading(const QString& text, QWidget* parent) {
    QLabel* heading =
        makeTextLabel(text, Palette::font(13, QFont::Medium), Palette::primaryText(), parent);
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

QPushButton* makeButton(const QString& text, const QString& name, const QString& style,
                        QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFont(Palette::font(13, QFont::Medium));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(style);
    return button;
}

} // namespace

DevtronChoiceView::DevtronChoiceView(InstallationState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_test(new ClusterConnectionTest(state, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 30, 30, 30);
    layout->setSpacing(24);
    layout->addWidget(buildHeader());

    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(16);

    m_switch = new QCheckBox(QStringLiteral("安装Devtron平台"), content);
    m_switch->setObjectName(QStringLiteral("installDevtronSwitch"));
    m_switch->setFont(Palette::font(14));
    // Label first, then the switch, as a switch is laid out on the desktop.
    m_switch->setLayoutDirection(Qt::RightToLeft);
    m_switch->setIconSize(QSize(34, 20));
    // The drawn pill replaces the check box's own indicator.
    m_switch->setStyleSheet(
        QStringLiteral("QCheckBox { spacing: 0px; } QCheckBox::indicator { "
                       "width: 0px; height: 0px; border: none; image: none; }"));
    contentLayout->addWidget(m_switch, 0, Qt::AlignLeft | Qt::AlignAbsolute);

    contentLayout->addWidget(buildFeatureBox());
    contentLayout->addWidget(buildToolsBox());
    contentLayout->addWidget(buildProgressRow());
    contentLayout->addSpacerItem(
        new QSpacerItem(0, 20, QSizePolicy::Minimum, QSizePolicy::MinimumExpanding));

    auto* scroll = new QScrollArea(this);
    m_scroll = scroll;
    scroll->setObjectName(QStringLiteral("choiceScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    // The scroll area sits on the screen's own background, with a slim flat scroll bar in place
    // of the style's bevelled one with arrow buttons.
    scroll->setStyleSheet(
        QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"
                       "QScrollBar:vertical { width: 8px; background: transparent; margin: 0; }"
                       "QScrollBar::handle:vertical { background: %1; border-radius: 4px; "
                       "min-height: 24px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { "
                       "background: none; }")
            .arg(Palette::withOpacity(Palette::grey(), 0.45).name(QColor::HexArgb)));
    layout->addWidget(scroll, 1);
    layout->addWidget(buildNavigation());

    connect(m_switch, &QCheckBox::toggled, this,
            [this](bool checked) { m_state.setInstallDevtron(checked); });
    connect(&m_state, &InstallationState::installDevtronChanged, this,
            &DevtronChoiceView::updateSwitch);
    connect(m_test, &ClusterConnectionTest::isTestingChanged, this,
            &DevtronChoiceView::updateTesting);
    connect(m_test, &ClusterConnectionTest::showTestFailAlertChanged, this,
            &DevtronChoiceView::updateAlert);
    connect(m_backButton, &QPushButton::clicked, m_test,
            &ClusterConnectionTest::goBackToKubeconfigSelection);
    connect(m_nextButton, &QPushButton::clicked, m_test, &ClusterConnectionTest::nextAction);

    updateSwitch();
    updateTesting();
}

void DevtronChoiceView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Coming back to this step asks for a fresh test; a window restored from the task bar does not.
    if (!event->spontaneous()) {
        m_test->forgetTestResult();
    }
}

QWidget* DevtronChoiceView::buildHeader() {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(makeTextLabel(QStringLiteral("安装选项"), Palette::font(20, QFont::Medium),
                                    Palette::primaryText(), header));
    QLabel* subtitle = makeTextLabel(
        QStringLiteral(
            "请选择是否要安装Devtron平台，无论您的选择如何，我们都将配置必要的命令行工具"),
        Palette::font(13), Palette::secondaryText(), header);
    subtitle->setWordWrap(true);
    layout->addWidget(subtitle);
    return header;
}

QWidget* DevtronChoiceView::buildFeatureBox() {
    QFrame* box = makeBox(QStringLiteral("featureBox"), Palette::withOpacity(Palette::blue(), 0.05),
                          10, this);
    auto* layout = box->layout();
    layout->addWidget(makeBoxHeading(QStringLiteral("Devtron功能"), box));
    layout->addWidget(
        new FeatureRow(QStringLiteral("cube.box.fill"), QStringLiteral("一键部署镜像文件"), box));
    layout->addWidget(new FeatureRow(QStringLiteral("chart.xyaxis.line"),
                                     QStringLiteral("完整的应用监控和可观测性"), box));
    layout->addWidget(new FeatureRow(QStringLiteral("gearshape.2"),
                                     QStringLiteral("简化的Kubernetes配置管理"), box));
    m_featureBox = box;
    return box;
}

QWidget* DevtronChoiceView::buildToolsBox() {
    QFrame* box =
        makeBox(QStringLiteral("toolsBox"), Palette::withOpacity(Palette::grey(), 0.05), 8, this);
    auto* layout = box->layout();
    layout->addWidget(makeBoxHeading(QStringLiteral("将配置的工具"), box));
    layout->addWidget(new ConfigItemRow(QStringLiteral("helm"), QStringLiteral("Helm"), box));
    layout->addWidget(new ConfigItemRow(QStringLiteral("kubectl"), QStringLiteral("Kubectl"), box));
    layout->addWidget(new ConfigItemRow(QStringLiteral("doc.fill"),
                                        QStringLiteral("Kubeconfig (~/.kube/config)"), box));
    return box;
}

QWidget* DevtronChoiceView::buildProgressRow() {
    QFrame* row = makeBox(QStringLiteral("progressRow"),
                          Palette::withOpacity(Palette::grey(), 0.05), 0, this);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    // The regular 32-pixel spinner at 0.7 of its size.
    auto* indicator = new BusyIndicator(Palette::grey(), 22, row);
    indicator->setObjectName(QStringLiteral("progressIndicator"));
    line->addWidget(indicator, 0, Qt::AlignVCenter);
    QLabel* text = makeTextLabel(QStringLiteral("正在测试集群连接..."), Palette::font(13),
                                 Palette::secondaryText(), row);
    text->setContentsMargins(8, 0, 0, 0);
    line->addWidget(text);
    line->addStretch();
    static_cast<QVBoxLayout*>(row->layout())->addLayout(line);
    m_progressRow = row;
    return row;
}

QWidget* DevtronChoiceView::buildNavigation() {
    auto* row = new QWidget(this);
    row->setFixedHeight(36);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const QString shape = QStringLiteral("border: none; border-radius: 6px; padding: 8px 16px;");
    m_backButton = makeButton(QStringLiteral("上一步"), QStringLiteral("backButton"),
                              QStringLiteral("QPushButton { background-color: %1; color: %2; %3 }")
                                  .arg(css(Palette::withOpacity(Palette::grey(), 0.1)),
                                       css(Palette::primaryText()), shape),
                              row);
    m_nextButton = makeButton(QStringLiteral("下一步"), QStringLiteral("nextButton"),
                              QStringLiteral("QPushButton { background-color: %1; color: %2; %3 } "
                                             "QPushButton:disabled { background-color: %4; }")
                                  .arg(css(Palette::blue()), css(Palette::white()), shape,
                                       css(Palette::withOpacity(Palette::blue(), 0.4))),
                              row);
    layout->addWidget(m_backButton);
    layout->addStretch();
    layout->addWidget(m_nextButton);
    return row;
}

void DevtronChoiceView::updateSwitch() {
    const bool on = m_state.installDevtron();
    if (m_switch->isChecked() != on) {
        const QSignalBlocker blocker(m_switch);
        m_switch->setChecked(on);
    }
    m_switch->setIcon(switchIcon(on));
    m_featureBox->setVisible(on);
}

void DevtronChoiceView::updateTesting() {
    const bool testing = m_test->isTesting();
    m_progressRow->setVisible(testing);
    m_nextButton->setEnabled(!testing);
    if (testing) {
        // The row sits below the lists; bring it into view once the layout has placed it.
        QTimer::singleShot(0, this, [this] { m_scroll->ensureWidgetVisible(m_progressRow); });
    }
}

void DevtronChoiceView::ensureAlert() {
    if (m_alert) {
        return;
    }
    m_alert = new QMessageBox(this);
    m_alert->setObjectName(QStringLiteral("testFailAlert"));
    m_alert->setIcon(QMessageBox::Warning);
    m_alert->setWindowTitle(QStringLiteral("集群连接测试失败"));
    m_alert->setText(QStringLiteral("集群连接测试失败"));
    // kubectl's own words are worth copying into a support request.
    m_alert->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton* acknowledge =
        m_alert->addButton(QStringLiteral("我知道了"), QMessageBox::AcceptRole);
    m_alertBackButton = m_alert->addButton(QStringLiteral("返回上一步"), QMessageBox::RejectRole);
    m_alert->setDefaultButton(acknowledge);
    // Escape or the window's close button only dismiss; leaving the step takes the explicit button.
    m_alert->setEscapeButton(acknowledge);
    connect(m_alert, &QDialog::finished, this, [this] {
        const bool goBack = m_alert->clickedButton() == m_alertBackButton;
        m_test->setShowTestFailAlert(false);
        if (goBack) {
            m_test->goBackToKubeconfigSelection();
        }
    });
}

void DevtronChoiceView::updateAlert() {
    if (!m_test->showTestFailAlert()) {
        if (m_alert && m_alert->isVisible()) {
            m_alert->hide();
        }
        return;
    }
    ensureAlert();
    m_alert->setInformativeText(m_test->alertMessage());
    if (!m_alert->isVisible()) {
        // Window-modal and non-blocking: the event loop, and the running tests, carry on.
        m_alert->open();
    }
}
