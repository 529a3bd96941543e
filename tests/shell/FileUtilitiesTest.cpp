#include "shell/ShellUtils.h"

#include "ShellTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

unsigned modeOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return 0;
    }
    return info.st_mode & 07777U;
}

class FileUtilities : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }
    QString path(const QString& name) const { return m_folder.filePath(name); }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(FileUtilities, QuotePathKeepsOrdinaryPathsAndNeutralisesShellSyntax) {
    EXPECT_EQ(ShellUtils::quotePath(QStringLiteral("/opt/my tools/kubectl")),
              QStringLiteral("\"/opt/my tools/kubectl\""));
    EXPECT_EQ(ShellUtils::quotePath(QStringLiteral("/home/用户/it's.conf")),
              QStringLiteral("\"/home/用户/it's.conf\""));

    const QStringList hostile = {
        QStringLiteral("/tmp/a\"b"),         QStringLiteral("/tmp/$(touch x)"),
        QStringLiteral("/tmp/`touch x`"),    QStringLiteral("/tmp/back\\slash"),
        QStringLiteral("/tmp/line\nfeed"),   QStringLiteral("/tmp/it's $HOME"),
        QStringLiteral("/tmp/'\"'\"$'\\n'"), QStringLiteral("/tmp/!!"),
    };
    for (const QString& raw : hostile) {
        const CommandResult echoed =
            ShellUtils::runCommand(QStringLiteral("printf %s ") + ShellUtils::quotePath(raw));
        EXPECT_EQ(echoed.output, raw) << ShellUtils::quotePath(raw).toStdString();
    }
}

TEST_F(FileUtilities, CopyOntoExistingFileKeepsABackupAndEndsOwnerOnly) {
    const QString source = path(QStringLiteral("new.conf"));
    const QString target = path(QStringLiteral("target.conf"));
    ASSERT_TRUE(writeBytes(source, "new content\n"));
    ASSERT_TRUE(writeBytes(target, "old content\n"));
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther));

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    testing::internal::CaptureStdout();
    const bool copied = ShellUtils::copyFile(source, target);
    const QString console = QString::fromUtf8(testing::internal::GetCapturedStdout());
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    EXPECT_TRUE(copied) << console.toStdString();
    EXPECT_EQ(readAll(target), QByteArray("new content\n"));
    EXPECT_EQ(modeOf(target), 0600U);
    EXPECT_TRUE(console.contains(QStringLiteral("使用shell命令复制文件成功")));

    const QStringList backups =
        QDir(m_folder.path()).entryList({QStringLiteral("target.conf.backup.*")}, QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    const qint64 stamp = backups.front().section(QLatin1Char('.'), -1).toLongLong();
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
    EXPECT_EQ(readAll(path(backups.front())), QByteArray("old content\n"));
    EXPECT_TRUE(console.contains(QStringLiteral("已备份原文件: ") + path(backups.front())));
}

TEST_F(FileUtilities, CopyFromMissingSourceTouchesNothing) {
    const QString target = path(QStringLiteral("deep/er/target"));
    const QString missing = path(QStringLiteral("absent.conf"));
    testing::internal::CaptureStdout();
    const bool copied = ShellUtils::copyFile(missing, target);
    const QString console = QString::fromUtf8(testing::internal::GetCapturedStdout());
    EXPECT_FALSE(copied);
    EXPECT_EQ(console, QStringLiteral("源文件不存在: ") + missing + QLatin1Char('\n'));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("deep"))));
}

TEST_F(FileUtilities, CopyIntoMissingFoldersCreatesThemAndAPrivateFile) {
    const QString source = path(QStringLiteral("kubeconfig"));
    ASSERT_TRUE(writeBytes(source, "apiVersion: v1\n"));
    ASSERT_TRUE(QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther));
    const QString target = path(QStringLiteral("a/b/c/config"));

    testing::internal::CaptureStdout();
    const bool copied = ShellUtils::copyFile(source, target);
    const QString console = QString::fromUtf8(testing::internal::GetCapturedStdout());
    EXPECT_TRUE(copied);
    EXPECT_EQ(readAll(target), QByteArray("apiVersion: v1\n"));
    EXPECT_EQ(modeOf(target), 0600U);
    EXPECT_TRUE(
        console.contains(QStringLiteral("已创建目标目录: ") + path(QStringLiteral("a/b/c"))));
    EXPECT_TRUE(console.endsWith(QStringLiteral("文件复制成功: ") + source +
                                 QStringLiteral(" -> ") + target + QLatin1Char('\n')));
}

TEST_F(FileUtilities, ShellFallbackNeverRunsCommandsHiddenInPaths) {
    const QString marker = path(QStringLiteral("pwned"));
    const ScopedEnvironmentVariable markerVariable("NIMBREL_MARKER", QFile::encodeName(marker));
    const QString nasty =
        QStringLiteral("x\"$(touch $NIMBREL_MARKER)\"`touch $NIMBREL_MARKER`\\y'z");
    const QString source = path(QStringLiteral("src ") + nasty);
    const QString target = path(QStringLiteral("dst ") + nasty);
    ASSERT_TRUE(writeBytes(source, "fresh"));
    // An existing destination sends the copy down the shell path.
    ASSERT_TRUE(writeBytes(target, "stale"));

    testing::internal::CaptureStdout();
    const bool copied = ShellUtils::copyFile(source, target);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(copied);
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_EQ(readAll(target), QByteArray("fresh"));
    EXPECT_EQ(modeOf(target), 0600U);
}

TEST_F(FileUtilities, WriteToFileIsAtomicUtf8AndPrivate) {
    const QString target = path(QStringLiteral("report.log"));
    ASSERT_TRUE(ShellUtils::writeToFile(QStringLiteral("第一版\n"), target));
    EXPECT_EQ(readAll(target), QStringLiteral("第一版\n").toUtf8());
    EXPECT_EQ(modeOf(target), 0600U);

    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther));
    ASSERT_TRUE(ShellUtils::writeToFile(QStringLiteral("second"), target));
    EXPECT_EQ(readAll(target), QByteArray("second"));
    EXPECT_EQ(modeOf(target), 0600U);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    testing::internal::CaptureStdout();
    const bool written =
        ShellUtils::writeToFile(QStringLiteral("x"), path(QStringLiteral("no/dir/f")));
    const QString console = QString::fromUtf8(testing::internal::GetCapturedStdout());
    EXPECT_FALSE(written);
    EXPECT_TRUE(console.startsWith(QStringLiteral("写入文件失败: ")));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("no"))));
}
