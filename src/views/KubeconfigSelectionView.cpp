#include "views/KubeconfigSelectionView.h"

#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "views/BusyIndicator.h"
#include "views/IconRegistry.h"
#include "views/KubeconfigValidator.h"
#include "views/Palette.h"

#include <QCoreApplication>
#include <QDesktopServices>
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
#include <QScrollArea>
#include <QStackedWidget>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int dialogWidth = 600;
constexpr int dialogHeight = 400;

QString css(const QColor& colour) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}

QLabel* makeLabel(const QString& text, const QFont& font, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(css(colour)));
    return label;
}

QPushButton* makeLinkButton(const QString& text, int pixelSize, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(Palette::font(pixelSize));
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; background: transparent; "
                                         "border: none; padding: 0; }"
                                         "QPushButton:disabled { color: %2; }")
                              .arg(css(Palette::blue()), css(Palette::secondaryText())));
    return button;
}

// Work finished on the shared pool comes back through the application object, which outlives
// every screen; the screen itself is looked up there, on the GUI thread.
void postToGuiThread(std::function<void()> work) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
    }
}

} // namespace

KubeconfigSelectionView::KubeconfigSelectionView(InstallationState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_filePicker(&KubeconfigSelectionView::pickFileWithDialog) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 30, 30, 30);
    layout->setSpacing(24);

    auto* header = new QVBoxLayout;
    header->setSpacing(8);
    header->addWidget(makeLabel(QStringLiteral("选择Kubeconfig文件"),
                                Palette::font(20, QFont::Medium), Palette::primaryText(), this));
    auto* subtitle =
        makeLabel(QStringLiteral("请选择有效的Kubeconfig文件，以便连接到您的Kubernetes集群"),
                  Palette::font(13), Palette::secondaryText(), this);
    subtitle->setWordWrap(true);
    header->addWidget(subtitle);
    layout->addLayout(header);

    m_panels = new QStackedWidget;
    m_panels->setMinimumHeight(250);
    m_emptyPanel = buildEmptyPanel();
    m_filePanel = buildFilePanel();
    m_panels->addWidget(m_emptyPanel);
    m_panels->addWidget(m_filePanel);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(m_panels);
    scroll->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { "
                                         "background: transparent; }"));
    layout->addWidget(scroll, 1);
    layout->addWidget(buildBottomRow());

    connect(&m_state, &InstallationState::kubeconfigPathChanged, this,
            &KubeconfigSelectionView::refresh);
    connect(&m_state, &InstallationState::kubeconfigDisplayPathChanged, this,
            &KubeconfigSelectionView::refresh);
    connect(this, &KubeconfigSelectionView::isValidatingChanged, this,
            &KubeconfigSelectionView::refresh);
    refresh();
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
    column->addWidget(makeLabel(QStringLiteral("请选择Kubeconfig文件"), Palette::font(14),
                                Palette::secondaryText(), panel),
                      0, Qt::AlignHCenter);

    auto* actions = new QVBoxLayout;
    actions->setSpacing(10);
    auto* browse = new QPushButton(QStringLiteral("浏览文件"), panel);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setCursor(Qt::PointingHandCursor);
    browse->setFont(Palette::font(13));
    browse->setIcon(IconRegistry::icon(QStringLiteral("folder.badge.plus"), Palette::white()));
    browse->setIconSize(QSize(13, 13));
    browse->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: %2; border: none; "
                                         "border-radius: 6px; padding: 8px 16px; }")
                              .arg(css(Palette::blue()), css(Palette::white())));
    connect(browse, &QPushButton::clicked, this, &KubeconfigSelectionView::browse);
    actions->addWidget(browse, 0, Qt::AlignHCenter);

    auto* registration = new QHBoxLayout;
    registration->setSpacing(4);
    registration->addStretch(1);
    registration->addWidget(makeLabel(QStringLiteral("没有账号？"), Palette::font(12),
                                      Palette::secondaryText(), panel));
    auto* signUp = makeLinkButton(QStringLiteral("点击注册"), 12, panel);
    signUp->setObjectName(QStringLiteral("registerButton"));
    connect(signUp, &QPushButton::clicked, this,
            [] { openURL(QString::fromLatin1(registrationUrl)); });
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
    outer->addWidget(makeLabel(QStringLiteral("已选择文件"), Palette::font(14, QFont::Medium),
                               Palette::primaryText(), panel));

    auto* card = new QFrame(panel);
    card->setObjectName(QStringLiteral("fileCard"));
    card->setStyleSheet(QStringLiteral("#fileCard { background: %1; border-radius: 8px; }")
                            .arg(css(Palette::withOpacity(Palette::blue(), 0.05))));
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(12, 12, 12, 12);
    auto* icon = new QLabel(card);
    icon->setPixmap(IconRegistry::pixmap(QStringLiteral("doc.fill"), 20, Palette::blue()));
    row->addWidget(icon);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    m_fileNameLabel =
        makeLabel(QString(), Palette::font(13, QFont::Medium), Palette::primaryText(), card);
    m_fileNameLabel->setObjectName(QStringLiteral("fileNameLabel"));
    m_filePathLabel = makeLabel(QString(), Palette::font(11), Palette::secondaryText(), card);
    m_filePathLabel->setObjectName(QStringLiteral("filePathLabel"));
    // Long paths are shortened in the middle to fit; the label never widens the card.
    m_filePathLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_filePathLabel->installEventFilter(this);
    texts->addWidget(m_fileNameLabel);
    texts->addWidget(m_filePathLabel);
    row->addLayout(texts, 1);

    m_changeButton = makeLinkButton(QStringLiteral("更换文件"), 12, card);
    m_changeButton->setObjectName(QStringLiteral("changeButton"));
    connect(m_changeButton, &QPushButton::clicked, this,
            [this] { m_state.setKubeconfigPath(QString(), QString()); });
    row->addWidget(m_changeButton);

    outer->addWidget(card);
    outer->addStretch(1);
    return panel;
}

QWidget* KubeconfigSelectionView::buildBottomRow() {
    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(36);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);

    m_nextButton = new QPushButton(QStringLiteral("下一步"), bottom);
    m_nextButton->setObjectName(QStringLiteral("nextButton"));
    m_nextButton->setFont(Palette::font(13, QFont::Medium));
    m_nextButton->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: %2; border: none; "
                       "border-radius: 6px; padding: 8px 16px; }"
                       "QPushButton:disabled { background: %3; }")
            .arg(css(Palette::blue()), css(Palette::white()),
                 css(Palette::withOpacity(Palette::grey(), 0.3))));
    // Keeps its size while the text gives way to the spinner.
    m_nextButton->setFixedSize(m_nextButton->sizeHint());
    auto* inside = new QHBoxLayout(m_nextButton);
    inside->setContentsMargins(0, 0, 0, 0);
    m_busyIndicator = new BusyIndicator(Palette::white(), 14, m_nextButton);
    m_busyIndicator->setObjectName(QStringLiteral("busyIndicator"));
    inside->addWidget(m_busyIndicator, 0, Qt::AlignCenter);
    connect(m_nextButton, &QPushButton::clicked, this, &KubeconfigSelectionView::proceed);
    row->addWidget(m_nextButton);
    return bottom;
}

void KubeconfigSelectionView::setFilePicker(FilePicker picker) {
    m_filePicker = std::move(picker);
}

QString KubeconfigSelectionView::pickFileWithDialog(QWidget* parent) {
    QPointer<QFileDialog> dialog =
        new QFileDialog(parent ? parent->window() : nullptr, QStringLiteral("选择Kubeconfig文件"));
    // Qt's own dialog, so that the texts below show on every desktop.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::ReadOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // Kubeconfig files commonly have no extension (~/.kube/config), so every file is offered.
    dialog->setNameFilter(QStringLiteral("YAML 和纯文本文件 (*)"));
    dialog->setSizeGripEnabled(true);
    dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围:"));
    dialog->setLabelText(QFileDialog::FileName, QStringLiteral("文件名:"));
    dialog->setLabelText(QFileDialog::FileType, QStringLiteral("文件类型:"));
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("打开"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
        auto* message = new QLabel(QStringLiteral("请选择您的Kubeconfig配置文件"), dialog);
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
        if (!self || chosen.isEmpty()) {
            return;
        }
        m_state.setKubeconfigPath(chosen, chosen);
        m_state.appendLog(QStringLiteral("用户选择了Kubeconfig文件: ") +
                          QFileInfo(chosen).fileName());
    });
}

void KubeconfigSelectionView::openURL(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return;
    }
    QDesktopServices::openUrl(url);
}

void KubeconfigSelectionView::proceed() {
    if (m_state.kubeconfigPath().isEmpty() || m_isValidating) {
        return;
    }
    setIsValidating(true);
    validateKubeconfigFile();
}

void KubeconfigSelectionView::validateKubeconfigFile() {
    const QString path = m_state.kubeconfigPath();
    m_state.appendLog(QStringLiteral("开始验证Kubeconfig文件: ") + QFileInfo(path).fileName());

    const QPointer<KubeconfigSelectionView> self(this);
    const QPointer<InstallationState> state(&m_state);
    QThreadPool::globalInstance()->start([self, state, path] {
        const auto log = [state](const QString& line) {
            postToGuiThread([state, line] {
                if (state) {
                    state->appendLog(line);
                }
            });
        };
        const KubeconfigValidator::Result result = KubeconfigValidator::validateKubeconfigFile(
            path, AppPaths::privateTempDirectory(), log);
        postToGuiThread([self, path, result] {
            if (!self) {
                return;
            }
            self->setIsValidating(false);
            KubeconfigValidator::applyResult(result, path, self->m_state);
        });
    });
}

void KubeconfigSelectionView::setIsValidating(bool value) {
    m_isValidating = value;
    emit isValidatingChanged();
}

void KubeconfigSelectionView::refresh() {
    const QString path = m_state.kubeconfigPath();
    const bool chosen = !path.isEmpty();
    m_panels->setCurrentWidget(chosen ? m_filePanel : m_emptyPanel);

    const QString display = m_state.kubeconfigDisplayPath();
    m_fileNameLabel->setText(QFileInfo(display).fileName());
    m_filePathLabel->setToolTip(display);
    elidePath();

    // Clearing the choice mid-run would leave the run's result without its file.
    m_changeButton->setEnabled(!m_isValidating);
    m_nextButton->setEnabled(chosen && !m_isValidating);
    m_nextButton->setText(m_isValidating ? QString() : QStringLiteral("下一步"));
    m_busyIndicator->setVisible(m_isValidating);
}

void KubeconfigSelectionView::elidePath() {
    const QString display = m_state.kubeconfigDisplayPath();
    m_filePathLabel->setText(m_filePathLabel->fontMetrics().elidedText(
        display, Qt::ElideMiddle, qMax(0, m_filePathLabel->width())));
}

bool KubeconfigSelectionView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filePathLabel && event->type() == QEvent::Resize) {
        elidePath();
    }
    return QWidget::eventFilter(watched, event);
}
