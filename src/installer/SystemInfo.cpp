#include "installer/SystemInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QSysInfo>
#include <QThread>

#include <array>
#include <mutex>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t bytesPerGiB = std::uint64_t{1} << 30;

std::mutex overrideMutex;
std::optional<std::uint64_t> memoryOverride;

long processorCount() {
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? online : QThread::idealThreadCount();
}

QString operatingSystemVersion() {
    return QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType() +
           QLatin1Char(' ') + QSysInfo::kernelVersion() + QLatin1Char(')');
}

QString loginName() {
    passwd entry{};
    passwd* found = nullptr;
    std::array<char, 4096> buffer{};
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return QString::fromLocal8Bit(found->pw_name);
    }
    return qEnvironmentVariable("USER");
}

} // namespace

std::uint64_t SystemInfo::physicalMemoryBytes() {
    {
        const std::lock_guard lock(overrideMutex);
        if (memoryOverride) {
            return *memoryOverride;
        }
    }
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

void SystemInfo::setPhysicalMemoryOverride(std::optional<std::uint64_t> bytes) {
    const std::lock_guard lock(overrideMutex);
    memoryOverride = bytes;
}

QStringList SystemInfo::describe() {
    QStringList lines{tr("===== 系统环境信息 ====="),
                      tr("操作系统: %1").arg(operatingSystemVersion())};
    const QString host = QSysInfo::machineHostName();
    if (!host.isEmpty()) {
        lines << tr("主机名: %1").arg(host);
    }
    lines << tr("处理器核心数: %1").arg(processorCount())
          << tr("物理内存: %1 GB").arg(physicalMemoryBytes() / bytesPerGiB)
          << tr("当前用户: %1").arg(loginName()) << tr("当前工作目录: %1").arg(QDir::currentPath());

    const QString name = QCoreApplication::applicationName();
    const QString version = QCoreApplication::applicationVersion();
    const QString build = QStringLiteral(NIMBREL_BUILD_NUMBER);
    if (!name.isEmpty() && !version.isEmpty() && !build.isEmpty()) {
        //: %1 is the version, %2 the build number.
        lines << tr("应用名称: %1").arg(name) << tr("应用版本: %1 (Build %2)").arg(version, build);
    }
    return lines;
}
