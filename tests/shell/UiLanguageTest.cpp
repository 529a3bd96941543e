#include "shell/UiLanguage.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(UiLanguage, EnglishOnlyWhenTheUserPutsItBeforeChinese) {
    using enum UiLanguage::Language;
    const struct {
        QStringList uiLanguages;
        UiLanguage::Language expected;
    } cases[] = {
        {{"en-US"}, english},       {{"en-GB", "zh-CN"}, english},
        {{"de-DE", "en"}, english}, {{"zh-CN", "en-US"}, chinese},
        {{"zh-Hant-TW"}, chinese},  {{"fr-FR"}, chinese},
        {{"C"}, chinese},           {{}, chinese},
    };
    for (const auto& [uiLanguages, expected] : cases) {
        EXPECT_EQ(UiLanguage::choose(uiLanguages), expected)
            << uiLanguages.join(u',').toStdString();
    }
}

TEST(UiLanguage, SpeaksEnglishForItsLifetimeOnly) {
    const auto title = [] { return QCoreApplication::translate("StepRowModel", "选择配置文件"); };
    const QLocale before;
    {
        const UiLanguage english(UiLanguage::Language::english);
        EXPECT_EQ(title(), QStringLiteral("Choose kubeconfig"));
        EXPECT_EQ(QLocale().language(), QLocale::English);
    }
    EXPECT_EQ(title(), QStringLiteral("选择配置文件"));
    EXPECT_EQ(QLocale(), before);
}
