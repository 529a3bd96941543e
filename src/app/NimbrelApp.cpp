#include "app/NimbrelApp.h"

#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/QuitSignals.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ChildProcesses.h"
#include "shell/ClusterTools.h"
#include "shell/Console.h"
#include "shell/DesktopContrast.h"
#include "views/common/AlertDialog.h"
#include "views/common/FocusRing.h"
#include "views/style/Palette.h"

#include <QApplication>
#include <QFileInfo>
#include <QPalette>

namespace {

// How long the children get to end on SIGTERM before they are killed, and how long their runner
// threads then get to return: Nimbrel is gone within about three seconds.
constexpr std::chrono::milliseconds terminationGrace(2000);
constexpr std::chrono::milliseconds runnerGrace(500);

// A copy that lost its tools would otherwise go unnoticed until the installation step fails.
void reportMissingTools() {
    for (const QString& tool : {ClusterTools::kubectlPath(), ClusterTools::helmPath(),
                                ClusterTools::installScriptPath()}) {
        if (!QFileInfo(tool).isFile()) {
            writeConsoleLine(
                QCoreApplication::translate("NimbrelApp", "应用内置工具不存在，请重新安装应用: %1")
                    .arg(tool));
        }
    }
}

// Brings the text colours the widgets were given into the current mode; symbols already drawn
// keep theirs until their screen is built again.
void recolour(const QList<QWidget*>& widgets) {
    for (QWidget* widget : widgets) {
        if (widget->testAttribute(Qt::WA_SetPalette)) {
            QPalette colours = widget->palette();
            for (const QPalette::ColorRole role :
                 {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
                colours.setColor(role, Palette::current(colours.color(role)));
            }
            widget->setPalette(colours);
        }
        // Colours written into a style sheet when the widget was built.
        const QString sheet = widget->styleSheet();
        if (const QString now = Palette::currentSheet(sheet); now != sheet) {
            widget->setStyleSheet(now);
        }
        widget->update();
    }
}

} // namespace

NimbrelApp::NimbrelApp() : m_quitSignals(std::make_unique<QuitSignals>()) {
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));
    reportMissingTools();
    Palette::applyApplicationFont();
    Palette::applyApplicationPalette();
    FocusRing::followKeyboardFocus();
    // The installer engine needs no widgets; the program gives it its warning box.
    AlertDialog::installInstallerAlert();

    m_installationState = std::make_unique<InstallationState>();
    m_appDelegate = std::make_unique<AppDelegate>();
    m_window = std::make_unique<MainWindow>(*m_installationState);

    AppDelegate* delegate = m_appDelegate.get();
    InstallationState* state = m_installationState.get();
    QObject::connect(m_window.get(), &MainWindow::contentShown, delegate,
                     [delegate, state] { delegate->setInstallationState(state); });
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, delegate,
                     &AppDelegate::applicationStateChanged);
    // As if the window were closed; quitting also ends a modal dialog that would hold it open.
    MainWindow* window = m_window.get();
    QObject::connect(m_quitSignals.get(), &QuitSignals::quitRequested, window, [window] {
        window->close();
        QCoreApplication::quit();
    });
    // The desktop's contrast request, now and whenever it changes.
    auto* contrast = new DesktopContrast(window);
    QObject::connect(contrast, &DesktopContrast::changed, window, [](bool high) {
        Palette::setHighContrast(high);
        Palette::applyApplicationPalette();
        recolour(QApplication::allWidgets());
    });
    contrast->start();
}

NimbrelApp::~NimbrelApp() = default;

int NimbrelApp::exec() {
    m_window->show();
    const int status = QApplication::exec();
    endChildProcesses();
    return status;
}

std::optional<int> NimbrelApp::quitSignal() const {
    return m_quitSignals->received();
}

void NimbrelApp::endChildProcesses() {
    InstallationState* state = m_installationState.get();
    ChildProcesses::terminateAll(terminationGrace, [state](int count) {
        if (count == 0) {
            return;
        }
        state->appendLog(tr("正在结束Nimbrel启动的进程... (%1个)").arg(count));
        // The session stores lines through a queued call, and the event loop has ended.
        QCoreApplication::sendPostedEvents(state, QEvent::MetaCall);
    });
    // Their runners see the ends through the pidfd and return; a job blocked on anything else
    // must not hold up the exit.
    BackgroundJobs::waitForDone(runnerGrace);
}
