#include "FuzzCheck.h"

#include "cluster/CredentialParser.h"
#include "installer/AccessLookup.h"

#include <cstdint>

namespace {

bool hasPort(const QString& address) {
    const qsizetype scheme = address.indexOf(QStringLiteral("://"));
    return address.mid(scheme >= 0 ? scheme + 3 : 0).contains(u':');
}

void checkCompletion(const QString& address) {
    const QString completed = CredentialParser::completePort(address);
    fuzzCheck(hasPort(completed), "a completed address has a port", completed);
    fuzzCheck(CredentialParser::completePort(completed) == completed,
              "completing twice adds nothing", completed);
    fuzzCheck(hasPort(address) == (completed == address),
              "a port is added exactly when there is none", address);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString output = fuzzText(data, size);
    const QString marker = QStringLiteral("URL:");

    const AccessLookup::ParsedAddress parsed = AccessLookup::parseAddress(output);
    fuzzCheck(parsed.url.has_value() == output.contains(marker), "a URL exactly after \"URL:\"");
    for (const QString& line : parsed.examinedLines) {
        fuzzCheck(!line.isEmpty() && !line.contains(u'\n') && output.contains(line),
                  "examined lines are the output's non-empty lines", line);
    }
    if (parsed.url) {
        fuzzCheck(parsed.examinedLines.last().contains(marker), "reading stops at the URL's line");
        fuzzCheck(parsed.examinedLines.last().contains(*parsed.url), "the URL is on its line");
        fuzzCheck(*parsed.url == parsed.url->trimmed(), "the URL is trimmed", *parsed.url);
    }

    const QString address = CredentialParser::findAddress(output, [](const QString&) {});
    fuzzCheck(!address.contains(u'\n') && output.contains(address),
              "the address is part of one line of the output", address);
    if (!address.isEmpty()) {
        checkCompletion(address);
    }
    checkCompletion(output);
    return 0;
}
