#pragma once

#include <QLocale>
#include <QStringList>
#include <QTranslator>

// The language Nimbrel speaks for as long as an object lives: its own texts (Chinese is the source
// language, English a translation built into the program) and Qt's own words in its dialogs and
// standard buttons. Paths, keychain keys and file names never change with it.
class UiLanguage {
public:
    enum class Language { chinese, english };

    // English when the user's languages put English before Chinese; Chinese otherwise, the C and
    // POSIX locales included.
    static Language choose(const QStringList& uiLanguages);
    static Language ofSystem();

    explicit UiLanguage(Language language);
    ~UiLanguage();
    UiLanguage(const UiLanguage&) = delete;
    UiLanguage& operator=(const UiLanguage&) = delete;

    Language language() const { return m_language; }

private:
    Language m_language;
    QLocale m_previousLocale;
    QTranslator m_nimbrel;
    QTranslator m_qt;
};
