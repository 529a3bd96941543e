#pragma once

#include <QCoreApplication>
#include <QStringList>

#include <cstdint>
#include <optional>

// The machine and program facts the installer log opens its set-up with.
class SystemInfo {
    Q_DECLARE_TR_FUNCTIONS(SystemInfo)

public:
    SystemInfo() = delete;

    // "===== 系统环境信息 =====" and one line each for the system, host, processors, memory (whole
    // GB), user, working folder and, when all three are known, the program's name and version.
    static QStringList describe();

    static std::uint64_t physicalMemoryBytes();
    // Replaces the machine's physical memory (tests); empty restores it.
    static void setPhysicalMemoryOverride(std::optional<std::uint64_t> bytes);
};
