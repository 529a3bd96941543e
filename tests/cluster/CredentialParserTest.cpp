#include "cluster/CredentialParser.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
         u"http://devtron.example.com/"_s,
         {u"从'url:'字段解析到URL: http://devtron.example.com/"_s}},
        {"  url:\nStatus:\n  Message: no address yet\n"
         "  Message: exported at https://devtron.example.com/ui/v1 now\n",
         u"https://devtron.example.com/ui/v1"_s,
         {u"从'url:'字段解析到URL: "_s,
          u"从Message字段解析到URL: https://devtron.example.com/ui/v1"_s}},
        {"message: http://lower.example.com\nEndpoint: http://devtron.example.io/x\n",
         u"http://lower.example.com"_s,
         {u"通过正则表达式直接匹配到URL: http://lower.example.com"_s}},
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
        {"  cGFzcw==\n", u"pass"_s}, {"5a+G56CB", u"密码"_s}, {"cGFzcw", std::nullopt},
        {"/w==", std::nullopt},      {" \n", std::nullopt},
    };
    for (const auto& [encoded, password] : cases) {
        EXPECT_EQ(CredentialParser::decodePassword(QString::fromUtf8(encoded)), password)
            << encoded;
    }
}

} // namespace
