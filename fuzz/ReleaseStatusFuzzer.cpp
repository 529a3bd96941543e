#include "FuzzCheck.h"

#include "installer/DevtronInstaller.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString output = fuzzText(data, size);
    const DevtronInstaller::ReleaseStatus status = DevtronInstaller::readReleaseStatus(output);
    if (status.deployed) {
        fuzzCheck(!status.actualStatus, "a deployed release names no other status");
        fuzzCheck(output.contains(QStringLiteral("deployed")), "deployed is read from the text");
    }
    if (status.actualStatus) {
        const QString& value = *status.actualStatus;
        const qsizetype markerAt = output.indexOf(QStringLiteral("STATUS:"));
        fuzzCheck(markerAt >= 0 && output.indexOf(u'\n', markerAt) >= 0,
                  "a status is read only from a complete \"STATUS:\" line");
        fuzzCheck(output.contains(value) && !value.contains(u'\n') && value == value.trimmed(),
                  "the status is one trimmed piece of the output", value);
    }
    return 0;
}
