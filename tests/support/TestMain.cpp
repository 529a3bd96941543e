#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Points HOME and the XDG folders at a fresh folder, so that a test binary started on its own
// never reads or writes the user's files. Set before the application object reads any of them.
void isolateUserFolders(const QTemporaryDir& sandbox) {
    const QString home = sandbox.filePath(QStringLiteral("home"));
    const QString runtime = sandbox.filePath(QStringLiteral("runtime"));
    QDir().mkpath(home);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (const auto& [name, value] : {std::pair{"HOME", home},
                                      {"XDG_RUNTIME_DIR", runtime},
                                      {"XDG_STATE_HOME", home + "/.local/state"},
                                      {"XDG_CONFIG_HOME", home + "/.config"},
                                      {"XDG_DATA_HOME", home + "/.local/share"},
                                      {"XDG_CACHE_HOME", home + "/.cache"}}) {
        qputenv(name, QFile::encodeName(value));
    }
}

} // namespace

// Every test binary gets a QApplication, offscreen unless the caller chose a platform.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QTemporaryDir sandbox(QDir::tempPath() + QStringLiteral("/nimbrel-test-XXXXXX"));
    if (!sandbox.isValid()) {
        return 2;
    }
    isolateUserFolders(sandbox);
    // Devtron's chart repository is never asked from a test: a local chart is given, as the demo
    // gives one, and a check that runs anyway meets a closed local port unless a test serves one.
    qputenv("DEVTRON_CHART", NIMBREL_SOURCE_DIR "/scripts/cluster-emulator/devtron-standin");
    qputenv("NIMBREL_CHART_REPO_URL", "https://127.0.0.1:9/");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
