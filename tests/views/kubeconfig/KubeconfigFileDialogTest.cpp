#include "shell/UiLanguage.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Every word the dialog shows: labels, buttons and their tool tips, column titles, combo entries
// and places; the folder being looked at and the files in it are the user's, not the dialog's.
QStringList shownWords(const QFileDialog& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        texts << button->text() << button->toolTip() << button->accessibleName();
    }
    for (const QHeaderView* header : dialog.findChildren<QHeaderView*>()) {
        for (int column = 0; column < header->count(); ++column) {
            texts << header->model()->headerData(column, header->orientation()).toString();
        }
    }
    for (const QComboBox* combo : dialog.findChildren<QComboBox*>()) {
        if (combo->objectName() == QLatin1String("fileTypeCombo")) {
            for (int row = 0; row < combo->count(); ++row) {
                texts << combo->itemText(row);
            }
        }
    }
    for (const QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
        if (view->objectName() == QLatin1String("sidebar")) {
            for (int row = 0; row < view->model()->rowCount(); ++row) {
                const QString place = view->model()->index(row, 0).data().toString();
                if (place != QDir::home().dirName()) {
                    texts << place;
                }
            }
        }
    }
    return texts;
}

} // namespace

TEST(KubeconfigFileDialog, QtsOwnWordsFollowTheLanguage) {
    for (const auto language : {UiLanguage::Language::chinese, UiLanguage::Language::english}) {
        const UiLanguage speaking(language);
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shown = shownWords(*dialog);
            dialog->reject();
        });
        EXPECT_TRUE(KubeconfigSelectionView::pickFileWithDialog(nullptr).isEmpty());
        const QString all = shown.join(u'\n');
        // Names of formats and tools are the same in every language.
        static const QRegularExpression englishWord(
            QStringLiteral(R"(\b(?!YAML\b|Kubeconfig\b)[A-Za-z]{2,}\b)"));
        if (language == UiLanguage::Language::chinese) {
            EXPECT_FALSE(all.contains(englishWord))
                << englishWord.match(all).captured().toStdString();
        } else {
            EXPECT_TRUE(all.contains(QLatin1String("Name"))) << all.toStdString();
            EXPECT_FALSE(all.contains(QRegularExpression(QStringLiteral(R"([\x{4e00}-\x{9fff}])"))))
                << all.toStdString();
        }
    }
}
