#include "support/ChildSession.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const char* const childMarker = "NIMBREL_TEST_CHILD";

QString currentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString::fromUtf8(info->test_suite_name()) + u'.' + QString::fromUtf8(info->name());
}

// The daemon and the display are stopped here, as the bus going away does not end them.
const QString daemonScript = QStringLiteral(R"(
d=$1; shift
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$d/display" 2>/dev/null & x=$!
i=0; while [ ! -s "$d/display" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
DISPLAY=:$(cat "$d/display") /usr/lib/notification-daemon/notification-daemon >/dev/null 2>&1 &
n=$!
"$@"; rc=$?
kill $n $x; wait; exit $rc
)");

// Polled by name, not called: a call would start a second daemon through D-Bus activation.
const QString keyringScript = QStringLiteral(R"(
printf %s nimbrel-test | gnome-keyring-daemon --foreground --unlock --components=secrets \
    >/dev/null 2>&1 & k=$!
i=0; until dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q true
do [ $i -lt 200 ] || break; sleep 0.05; i=$((i+1)); done
"$@"; rc=$?
kill $k; wait; exit $rc
)");

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
                              u"--gtest_filter="_s + currentTestName()};
    QString program = u"dbus-run-session"_s;
    QStringList arguments = {u"--"_s};
    switch (kind) {
    case Kind::noSessionBus:
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s,
                           u"unix:path="_s + sandbox.filePath(u"none"_s));
        program = test.first();
        arguments = test.mid(1);
        break;
    case Kind::emptySessionBus:
        arguments += test;
        break;
    case Kind::privateKeyring:
        arguments += QStringList{u"sh"_s, u"-c"_s, keyringScript, u"sh"_s} + test;
        break;
    case Kind::terminal:
        environment.insert(u"NIMBREL_TEST_BINARY"_s, test.first());
        environment.insert(u"GTEST_COLOR"_s, u"no"_s);
        program = u"script"_s;
        arguments = {u"-qec"_s,
                     u"exec \"$NIMBREL_TEST_BINARY\" --gtest_filter=\"$NIMBREL_TEST_CHILD\""_s,
                     u"/dev/null"_s};
        break;
    case Kind::notificationDaemon:
        arguments += QStringList{u"sh"_s, u"-c"_s, daemonScript, u"sh"_s, sandbox.path()} + test;
        break;
    }
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, arguments);
    // The generous limit only keeps a hanging child from hanging the suite.
    const bool ended = child.waitForFinished(120000);
    child.kill();
    child.waitForFinished();
    QString output = QString::fromUtf8(child.readAll());
    // A filter that matched nothing would also exit 0.
    EXPECT_TRUE(ended && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                output.contains(u"[  PASSED  ] 1 test"_s))
        << output.toStdString();
    return output;
}
