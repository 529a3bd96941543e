#include "shell/UiLanguage.h"

#include "shell/Console.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

UiLanguage::Language UiLanguage::choose(const QStringList& uiLanguages) {
    for (const QString& name : uiLanguages) {
        if (name.startsWith(QLatin1String("en"), Qt::CaseInsensitive)) {
            return Language::english;
        }
        if (name.startsWith(QLatin1String("zh"), Qt::CaseInsensitive)) {
            return Language::chinese;
        }
    }
    return Language::chinese;
}

UiLanguage::Language UiLanguage::ofSystem() {
    return choose(QLocale::system().uiLanguages());
}

UiLanguage::UiLanguage(Language language) : m_language(language), m_previousLocale(QLocale()) {
    // Dates and numbers in Qt's dialogs follow the language too, so that a Chinese file dialog
    // shows no English month names under an English or C locale.
    const QLocale locale =
        language == Language::english
            ? QLocale(QLocale::English, QLocale::UnitedStates)
            : QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    QLocale::setDefault(locale);
    if (language == Language::english) {
        if (m_nimbrel.load(QStringLiteral(":/translations/nimbrel_en.qm"))) {
            QCoreApplication::installTranslator(&m_nimbrel);
        } else {
            writeConsoleLine(
                QStringLiteral("The English translation is missing; Nimbrel speaks Chinese."));
        }
        return;
    }
    // Qt's own texts are English at source; without the Debian package holding their Chinese
    // translation the dialogs keep them, which costs a mixed dialog, not a failure.
    if (m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&m_qt);
    } else {
        writeConsoleLine(QStringLiteral("Qt's Chinese translation (qtbase_zh_CN.qm) is missing; "
                                        "Qt's dialogs speak English."));
    }
}

UiLanguage::~UiLanguage() {
    QCoreApplication::removeTranslator(&m_nimbrel);
    QCoreApplication::removeTranslator(&m_qt);
    QLocale::setDefault(m_previousLocale);
}
