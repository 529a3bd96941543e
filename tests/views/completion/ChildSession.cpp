#include "ChildSession.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char* const childMarker = "NIMBREL_COMPLETION_CHILD";

QString currentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString::fromUtf8(info->test_suite_name()) + u'.' + QString::fromUtf8(info->name());
}

} // namespace

bool ChildSession::isChild() {
    return qEnvironmentVariable(childMarker) == currentTestName();
}

QString ChildSession::rerun(Kind kind) {
    QTemporaryDir sandbox;
    EXPECT_TRUE(sandbox.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childMarker), currentTestName());
    const QStringList test = {QCoreApplication::applicationFilePath(),
                              QStringLiteral("--gtest_filter=") + currentTestName()};
    QStringList arguments =
        QStringList{QStringLiteral("dbus-run-session"), QStringLiteral("--")} + test;
    if (kind == Kind::noSessionBus) {
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=") + sandbox.filePath(QStringLiteral("none")));
        arguments = test;
    }
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(arguments.first(), arguments.mid(1));
    // The generous limit only keeps a hanging child from hanging the suite.
    const bool ended = child.waitForFinished(120000);
    if (!ended) {
        child.kill();
        child.waitForFinished();
    }
    QString output = QString::fromUtf8(child.readAll());
    EXPECT_TRUE(ended) << output.toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    // A filter that matched nothing would also exit 0.
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    return output;
}
