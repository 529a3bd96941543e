#include "FuzzCheck.h"

#include "views/choice/DevtronChoiceController.h"

#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Controller = DevtronChoiceController;
    static const QStringList fixedMessages{
        Controller::classifyConnectionError(QStringLiteral("Unauthorized")),
        Controller::classifyConnectionError(QStringLiteral("x509")),
        Controller::classifyConnectionError(QStringLiteral("Unable to connect to the server")),
        Controller::classifyConnectionError({})};

    const QString error = fuzzText(data, size);
    const QString message = Controller::classifyConnectionError(error);
    // A failing credential helper is named with its own words, behind a fixed heading.
    const bool helperMessage = message.startsWith(QStringLiteral("凭证插件执行失败:\n"));
    fuzzCheck(message == error || fixedMessages.contains(message) || helperMessage,
              "a classification is kubectl's text, a helper's message or one of the fixed messages",
              message);
    fuzzCheck(Controller::classifyConnectionError(message) == message,
              "a classified message classifies as itself", message);
    fuzzCheck(!Controller::formatErrorMessageForAlert(message).isEmpty(),
              "every failure has an alert text");
    return 0;
}
