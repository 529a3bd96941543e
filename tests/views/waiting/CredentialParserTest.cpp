#include "views/waiting/CredentialParser.h"
#include "installer/AccessLookup.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(CredentialParser, AddressPassesInTurn) {
    struct Case {
        const char* output;
        QString address;
        QStringList logged;
    };
    const Case cases[] = {
        {"Name: devtron-itf\n  Status:\n      URL:   http://devtron.example.com/   \n"
         "Message: at https://other.example.org\n",
         QStringLiteral("http://devtron.example.com/"),
         {QStringLiteral("从'url:'字段解析到URL: http://devtron.example.com/")}},
        {"  url:\nStatus:\n  Message: no address yet\n"
         "  Message: exported at https://devtron.example.com/ui/v1 now\n",
         QStringLiteral("https://devtron.example.com/ui/v1"),
         {QStringLiteral("从'url:'字段解析到URL: "),
          QStringLiteral("从Message字段解析到URL: https://devtron.example.com/ui/v1")}},
        {"message: http://lower.example.com\nEndpoint: http://devtron.example.io/x\n",
         QStringLiteral("http://lower.example.com"),
         {QStringLiteral("通过正则表达式直接匹配到URL: http://lower.example.com")}},
        {"Name: devtron-itf\nStatus: pending http://localhost\n", QString(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        QStringList logged;
        const QString address = CredentialParser::findAddress(
            QString::fromUtf8(c.output), [&](const QString& line) { logged << line; });
        EXPECT_EQ(address, c.address);
        EXPECT_EQ(logged, c.logged);
    }
}

TEST(CredentialParser, PortCompletion) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://devtron.example.com/", "http://devtron.example.com:22443/"},
        {"http://devtron.example.com:8000/", "http://devtron.example.com:8000/"},
        {"devtron.local", "devtron.local:22443"},
        {"devtron.local:80", "devtron.local:80"},
        {"https://devtron.example.com/ui", "https://devtron.example.com/ui:22443"},
    };
    for (const auto& [address, completed] : cases) {
        EXPECT_EQ(CredentialParser::completePort(QString::fromUtf8(address)),
                  QString::fromUtf8(completed));
    }
}

TEST(CredentialParser, PasswordDecodingAndMasking) {
    const std::pair<const char*, std::optional<QString>> cases[] = {
        {"  cGFzcw==\n", QStringLiteral("pass")},
        {"5a+G56CB", QStringLiteral("密码")},
        {"cGFzcw", std::nullopt},
        {"/w==", std::nullopt},
        {" \n", std::nullopt},
    };
    for (const auto& [encoded, password] : cases) {
        EXPECT_EQ(CredentialParser::decodePassword(QString::fromUtf8(encoded)), password)
            << encoded;
    }
    EXPECT_EQ(AccessLookup::maskedSecret(QStringLiteral("cGFzcw==")),
              QStringLiteral("<已隐藏, 8 字符>"));
}

} // namespace
