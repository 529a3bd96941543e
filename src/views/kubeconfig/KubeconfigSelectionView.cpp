#include "views/kubeconfig/KubeconfigSelectionView.h"

#include "views/common/Buttons.h"
#include "views/common/Labels.h"
#include "views/common/LiveStatus.h"
#include "views/common/RoundedPanel.h"
#include "views/kubeconfig/ContextListView.h"
#include "views/kubeconfig/KubeconfigStepController.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int dialogWidth = 600;
constexpr int dialogHeight = 400;

} // namespace

KubeconfigSelectionView::KubeconfigSelectionView(InstallationState& state, QWidget* parent)
    : WizardScreenView({tr("选择Kubeconfig文件"),
                        tr("请选择有效的Kubeconfig文件，以便连接到您的Kubernetes集群"), false,
                        Buttons::dimmedFill()},
                       parent),
      m_controller(new KubeconfigStepController(state, this)),
      m_filePicker(&KubeconfigSelectionView::pickFileWithDialog) {
    m_panels = new QStackedWidget;
    m_panels->setMinimumHeight(250);
    m_emptyPanel = buildEmptyPanel();
    m_filePanel = buildFilePanel();
    m_panels->addWidget(m_emptyPanel);
    setBody(m_panels);
    // Outside the stack until a file is chosen, so that the first frame lays out and loads fonts
    // for the empty panel only; a child of the screen meanwhile, so that it is in the same window
    // and keeps its place in the Tab chain when it moves into the stack.
    m_filePanel->setParent(this);
    m_filePanel->hide();
    chainTabs({m_browseButton, m_registerButton, m_changeButton});
    // While the file is checked, a reader is left on its name rather than on the unnamed screen.
    setBusyFocusHolder(m_fileNameLabel);

    connect(nextButton(), &QPushButton::clicked, m_controller, &KubeconfigStepController::proceed);
    connect(m_controller, &KubeconfigStepController::kubeconfigPathChanged, this,
            &KubeconfigSelectionView::refresh);
    connect(m_controller, &KubeconfigStepController::kubeconfigDisplayPathChanged, this,
            &KubeconfigSelectionView::refresh);
    connect(m_controller, &KubeconfigStepController::isValidatingChanged, this,
            &KubeconfigSelectionView::refresh);
    connect(m_controller, &KubeconfigStepController::contextsChanged, this,
            &KubeconfigSelectionView::refreshContexts);
    connect(m_contextList, &ContextListView::picked, m_controller,
            &KubeconfigStepController::chooseContext);
    refresh();
    refreshContexts();
}

QWidget* KubeconfigSelectionView::buildEmptyPanel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("emptyPanel"));
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(20);
    outer->addStretch(1);

    auto* column = new QVBoxLayout;
    column->setSpacing(15);
    auto* icon = new QLabel(panel);
    icon->setPixmap(IconRegistry::pixmap(QStringLiteral("doc.badge.plus"), 40,
                                         Palette::withOpacity(Palette::blue(), 0.7)));
    column->addWidget(icon, 0, Qt::AlignHCenter);
    column->addWidget(Labels::text(tr("请选择Kubeconfig文件"), Palette::font(14),
                                   Palette::secondaryText(), panel),
                      0, Qt::AlignHCenter);

    auto* actions = new QVBoxLayout;
    actions->setSpacing(10);
    QPushButton* browse = Buttons::primary(tr("浏览文件"), panel);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAccessibleDescription(tr("选择Kubeconfig文件"));
    m_browseButton = browse;
    browse->setFont(Palette::font(13));
    browse->setIcon(IconRegistry::icon(QStringLiteral("folder.badge.plus"), Palette::white()));
    browse->setIconSize(QSize(13, 13));
    connect(browse, &QPushButton::clicked, this, &KubeconfigSelectionView::browse);
    actions->addWidget(browse, 0, Qt::AlignHCenter);

    auto* registration = new QHBoxLayout;
    registration->setSpacing(4);
    registration->addStretch(1);
    registration->addWidget(
        Labels::text(tr("没有账号？"), Palette::font(12), Palette::secondaryText(), panel));
    QPushButton* signUp = Buttons::link(tr("点击注册"), 12, panel);
    signUp->setObjectName(QStringLiteral("registerButton"));
    m_registerButton = signUp;
    connect(signUp, &QPushButton::clicked, this, [] {
        KubeconfigStepController::openURL(
            QString::fromLatin1(KubeconfigStepController::registrationUrl));
    });
    registration->addWidget(signUp);
    registration->addStretch(1);
    actions->addLayout(registration);

    column->addLayout(actions);
    outer->addLayout(column);
    outer->addStretch(1);
    return panel;
}

QWidget* KubeconfigSelectionView::buildFilePanel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("filePanel"));
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(8);
    outer->addStretch(1);
    outer->addWidget(Labels::text(tr("已选择文件"), Palette::font(14, QFont::Medium),
                                  Palette::primaryText(), panel));

    auto* card = new RoundedPanel(Palette::withOpacity(Palette::blue(), 0.05), 8, panel);
    card->setObjectName(QStringLiteral("fileCard"));
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(12, 12, 12, 12);
    // Its pixmap is drawn when the panel is first shown.
    m_fileIcon = new QLabel(card);
    m_fileIcon->setFixedSize(20, 20);
    row->addWidget(m_fileIcon);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    m_fileNameLabel =
        new LiveStatus(Palette::font(13, QFont::Medium), Palette::primaryText(), card);
    m_fileNameLabel->setObjectName(QStringLiteral("fileNameLabel"));
    m_filePathLabel = Labels::text(QString(), Palette::font(11), Palette::secondaryText(), card);
    m_filePathLabel->setObjectName(QStringLiteral("filePathLabel"));
    // Long paths are shortened in the middle to fit; the label never widens the card.
    m_filePathLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_filePathLabel->installEventFilter(this);
    texts->addWidget(m_fileNameLabel);
    texts->addWidget(m_filePathLabel);
    row->addLayout(texts, 1);

    m_changeButton = Buttons::link(tr("更换文件"), 12, card);
    m_changeButton->setObjectName(QStringLiteral("changeButton"));
    connect(m_changeButton, &QPushButton::clicked, m_controller,
            &KubeconfigStepController::clearChoice);
    row->addWidget(m_changeButton);

    outer->addWidget(card);
    m_contextList = new ContextListView(panel);
    outer->addWidget(m_contextList);
    outer->addStretch(1);
    return panel;
}

void KubeconfigSelectionView::setFilePicker(FilePicker picker) {
    m_filePicker = std::move(picker);
}

QString KubeconfigSelectionView::pickFileWithDialog(QWidget* parent) {
    QPointer<QFileDialog> dialog =
        new QFileDialog(parent ? parent->window() : nullptr, tr("选择Kubeconfig文件"));
    // The desktop's own chooser where Qt's platform theme offers one (GTK's, or the desktop
    // portal's), else Qt's own dialog, for which the texts and the size below are set.
    dialog->setOption(QFileDialog::ReadOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // Kubeconfig files commonly have no extension (~/.kube/config), so every file is offered.
    dialog->setNameFilter(tr("YAML 和纯文本文件 (*)"));
    dialog->setSizeGripEnabled(true);
    dialog->setLabelText(QFileDialog::LookIn, tr("查找范围:"));
    dialog->setLabelText(QFileDialog::FileName, tr("文件名:"));
    dialog->setLabelText(QFileDialog::FileType, tr("文件类型:"));
    dialog->setLabelText(QFileDialog::Accept, tr("打开"));
    dialog->setLabelText(QFileDialog::Reject, tr("取消"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
        auto* message = new QLabel(tr("请选择您的Kubeconfig配置文件"), dialog);
        grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
    }
    const QString kubeFolder = QDir::homePath() + QStringLiteral("/.kube");
    dialog->setDirectory(QFileInfo(kubeFolder).isDir() ? kubeFolder : QDir::homePath());

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    dialog->resize(dialogWidth, dialogHeight);
    dialog->move(area.x() + area.width() / 2 - dialogWidth / 2,
                 area.y() + area.height() / 2 - dialogHeight / 2);

    const int answer = dialog->exec();
    QString chosen;
    // The dialog goes with its window if the window closes while it runs.
    if (dialog && answer == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        chosen = dialog->selectedFiles().constFirst();
    }
    delete dialog;
    return chosen;
}

void KubeconfigSelectionView::browse() {
    if (m_isFilePickerPresented) {
        return;
    }
    m_isFilePickerPresented = true;
    presentCustomFilePicker();
}

void KubeconfigSelectionView::presentCustomFilePicker() {
    QTimer::singleShot(0, this, [this] {
        m_isFilePickerPresented = false;
        const QPointer<KubeconfigSelectionView> self(this);
        const QString chosen = m_filePicker ? m_filePicker(this) : QString();
        // The modal run spins the event loop: the screen may be gone afterwards.
        if (self) {
            m_controller->chooseFile(chosen);
        }
    });
}

void KubeconfigSelectionView::refresh() {
    const bool chosen = !m_controller->kubeconfigPath().isEmpty();
    const bool validating = m_controller->isValidating();
    if (chosen && m_panels->indexOf(m_filePanel) < 0) {
        m_fileIcon->setPixmap(
            IconRegistry::pixmap(QStringLiteral("doc.fill"), 20, Palette::blue()));
        m_panels->addWidget(m_filePanel);
    }
    m_panels->setCurrentWidget(chosen ? m_filePanel : m_emptyPanel);

    const QString display = m_controller->kubeconfigDisplayPath();
    // The chosen file is spoken, as nothing that takes the focus names it.
    const QString fileName = QFileInfo(display).fileName();
    if (fileName.isEmpty() || fileName == m_fileNameLabel->text()) {
        m_fileNameLabel->setText(fileName);
    } else {
        m_fileNameLabel->announce(fileName);
    }
    m_filePathLabel->setToolTip(display);
    elidePath();

    m_changeButton->setEnabled(!validating);
    m_contextList->setEnabled(!validating);
    setNextEnabled(m_controller->canProceed());
    setNextBusy(validating);
}

void KubeconfigSelectionView::refreshContexts() {
    m_contextList->setContexts(m_controller->contexts(), m_controller->chosenContext(),
                               m_controller->contextsFailure());
    // The contexts follow "更换文件" in the Tab order; arrow keys move within them.
    QWidget* previous = m_changeButton;
    for (QWidget* control : m_contextList->controls()) {
        setTabOrder(previous, control);
        previous = control;
    }
}

void KubeconfigSelectionView::elidePath() {
    m_filePathLabel->setText(m_filePathLabel->fontMetrics().elidedText(
        m_controller->kubeconfigDisplayPath(), Qt::ElideMiddle, qMax(0, m_filePathLabel->width())));
}

bool KubeconfigSelectionView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filePathLabel && event->type() == QEvent::Resize) {
        elidePath();
    }
    return WizardScreenView::eventFilter(watched, event);
}
