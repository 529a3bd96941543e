#include "app/NimbrelApp.h"

#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "session/InstallationState.h"
#include "shell/ClusterTools.h"
#include "shell/Console.h"
#include "views/common/AlertDialog.h"
#include "views/common/FocusRing.h"
#include "views/style/Palette.h"

#include <QFileInfo>

namespace {

// A copy that lost its tools would otherwise go unnoticed until the installation step fails.
void reportMissingTools() {
    for (const QString& tool : {ClusterTools::kubectlPath(), ClusterTools::helmPath(),
                                ClusterTools::installScriptPath()}) {
        if (!QFileInfo(tool).isFile()) {
            writeConsoleLine(QStringLiteral("应用内置工具不存在，请重新安装应用: ") + tool);
        }
    }
}

} // namespace

NimbrelApp::NimbrelApp(int& argc, char** argv) : m_application(argc, argv) {
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
    QObject::connect(&m_application, &QGuiApplication::applicationStateChanged, delegate,
                     &AppDelegate::applicationStateChanged);
}

NimbrelApp::~NimbrelApp() = default;

int NimbrelApp::exec() {
    m_window->show();
    return QApplication::exec();
}
