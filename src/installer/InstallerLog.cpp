#include "installer/InstallerLog.h"

#include "shell/AppPaths.h"
#include "shell/Console.h"
#include "shell/PrivateFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTime>

#include <filesystem>
#include <system_error>
#include <utility>

QString InstallerLog::standardPath() {
    QString path = AppPaths::logFilePath();
    const QString folder = QFileInfo(path).path();
    if (QFileInfo::exists(folder)) {
        return path;
    }
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (!error) {
        return path;
    }
    writeConsoleLine(tr("无法创建标准日志目录: %1").arg(QString::fromStdString(error.message())));
    const QString temp = AppPaths::privateTempDirectory();
    return temp.isEmpty() ? QString() : temp + QFileInfo(path).fileName();
}

QString InstallerLog::currentMoment() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" +0000");
}

QString InstallerLog::timeOfDay() {
    // The locale's long format carries the time zone ("t"); the log wants the time of day only.
    const QLocale locale = QLocale::system();
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool inLiteral = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            inLiteral = !inLiteral;
        }
        if (!inLiteral && c == QLatin1Char('t')) {
            continue;
        }
        withoutZone.append(c);
    }
    return locale.toString(QTime::currentTime(), withoutZone.simplified());
}

std::optional<QString> InstallerLog::writeReport(const QString& name, const QString& text,
                                                 QString& error) {
    // Reports may quote credentials or cluster details: owner-only, in the private folder.
    const QString folder = AppPaths::privateTempDirectory();
    if (folder.isEmpty()) {
        error = tr("没有可用的私有临时目录");
        return std::nullopt;
    }
    const QString path = folder + name;
    if (!PrivateFile::writeOwnerOnly(path, text.toUtf8(), &error)) {
        return std::nullopt;
    }
    return path;
}

InstallerLog::InstallerLog(QString path) : m_path(std::move(path)) {}

InstallerLog::~InstallerLog() = default;

std::optional<QString> InstallerLog::start() {
    const QFileInfo existing(m_path);
    if (existing.exists() || existing.isSymLink()) {
        QFile old(m_path);
        if (!old.remove()) {
            return old.errorString();
        }
    }
    // Unbuffered append: every line lands at the current end, after the session log's own lines.
    auto file = std::make_unique<QFile>(m_path);
    if (file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const std::lock_guard lock(m_mutex);
        m_file = std::move(file);
    }
    const QString rule = QStringLiteral("===================================");
    append(rule + QLatin1Char('\n') + tr("Devtron 安装日志 - 开始于 %1").arg(currentMoment()) +
           QLatin1Char('\n') + rule + QLatin1Char('\n'));
    return std::nullopt;
}

void InstallerLog::append(const QString& message) {
    const std::lock_guard lock(m_mutex);
    writeLine(message);
}

void InstallerLog::writeLine(const QString& message) {
    if (m_file) {
        m_file->write(
            (QLatin1Char('[') + timeOfDay() + QStringLiteral("] ") + message + QLatin1Char('\n'))
                .toUtf8());
    }
}

InstallerLog::CloseOutcome InstallerLog::close() {
    std::unique_ptr<QFile> file;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_file) {
            return {};
        }
        const QString rule = QStringLiteral("===================================");
        writeLine(QLatin1Char('\n') + rule + QLatin1Char('\n') +
                  tr("Devtron 安装日志结束 - %1").arg(currentMoment()) + QLatin1Char('\n') + rule);
        file = std::move(m_file);
    }
    file->close();
    return {true, file->error() == QFileDevice::NoError ? QString() : file->errorString()};
}

void InstallerLog::abandon() {
    const std::lock_guard lock(m_mutex);
    m_file.reset();
}
