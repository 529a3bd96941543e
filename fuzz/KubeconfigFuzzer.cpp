#include "FuzzCheck.h"

#include "views/kubeconfig/KubeconfigValidator.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cstdint>
#include <optional>

namespace {

// The scan restated on decoded text, where every line end is one character: the first line after
// "clusters:" that starts, past spaces and tabs, with "name:".
std::optional<QString> clusterNameOfText(const QString& text) {
    static const QRegularExpression lineEnd(
        QStringLiteral("[\\n\\v\\f\\r\\x{85}\\x{2028}\\x{2029}]"));
    const qsizetype at = text.indexOf(QStringLiteral("clusters:"));
    if (at < 0) {
        return std::nullopt;
    }
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    for (QString line : text.mid(at + 9).split(lineEnd)) {
        qsizetype start = 0;
        while (start < line.size() && isBlank(line[start])) {
            ++start;
        }
        if (QStringView(line).sliced(start).startsWith(QStringLiteral("name:"))) {
            line.remove(QStringLiteral("name:"));
            while (!line.isEmpty() && isBlank(line.front())) {
                line.remove(0, 1);
            }
            while (!line.isEmpty() && isBlank(line.back())) {
                line.chop(1);
            }
            return line;
        }
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));

    const QStringList& required = KubeconfigValidator::requiredFields();
    qsizetype lastAt = -1;
    for (const QString& field : KubeconfigValidator::foundFields(bytes)) {
        const qsizetype at = required.indexOf(field);
        fuzzCheck(at > lastAt && bytes.contains(field.toLatin1()),
                  "found fields are required ones present in the text, in order", field);
        lastAt = at;
    }

    const std::optional<QString> name = KubeconfigValidator::clusterName(bytes);
    if (name) {
        fuzzCheck(bytes.contains("clusters:") && bytes.contains("name:"),
                  "a cluster name needs its anchor and key");
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (!decoder.hasError()) {
        fuzzCheck(name == clusterNameOfText(text), "the scan agrees on decoded text",
                  name.value_or(QStringLiteral("<none>")));
    }
    return 0;
}
