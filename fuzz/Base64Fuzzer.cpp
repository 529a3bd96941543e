#include "FuzzCheck.h"

#include "cluster/CredentialParser.h"
#include "installer/AccessLookup.h"

#include <QByteArray>
#include <QStringDecoder>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fuzzText(data, size);
    const QByteArray encoded = text.trimmed().toUtf8();
    const std::optional<QString> decoded = AccessLookup::decodePassword(text);

    // The strict form, worked out independently: canonical Base64 of valid UTF-8.
    const QByteArray bytes = QByteArray::fromBase64(encoded);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString bytesAsText = utf8.decode(bytes);
    const bool strict = bytes.toBase64() == encoded && !utf8.hasError();

    fuzzCheck(decoded.has_value() == strict, "decoding succeeds exactly for strict Base64 of UTF-8",
              text);
    if (decoded) {
        fuzzCheck(decoded->toUtf8() == bytes, "the decoded text is the encoded bytes", text);
        fuzzCheck(decoded->toUtf8().toBase64() == encoded, "a decoded value re-encodes", text);
    }

    const std::optional<QString> password = CredentialParser::decodePassword(text);
    fuzzCheck(!password || !password->isEmpty(), "a password is never empty");
    fuzzCheck(password == (decoded && !decoded->isEmpty() ? decoded : std::nullopt),
              "the password is the decoded value");
    return 0;
}
