#include "shell/UiLanguage.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

// Labels, buttons and their tips, column titles and the "Computer" place; not the user's folders.
TEST(KubeconfigFileDialog, QtsOwnWordsFollowTheLanguage) {
    for (const auto language : {UiLanguage::Language::chinese, UiLanguage::Language::english}) {
        const UiLanguage speaking(language);
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                shown << label->text();
            }
            for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
                shown << button->text() << button->toolTip();
            }
            const QHeaderView* header = dialog->findChild<QHeaderView*>();
            for (int column = 0; column < header->count(); ++column) {
                shown << header->model()->headerData(column, Qt::Horizontal).toString();
            }
            shown << dialog->findChild<QListView*>(QStringLiteral("sidebar"))
                         ->model()
                         ->index(0, 0)
                         .data()
                         .toString();
            dialog->reject();
        });
        EXPECT_TRUE(KubeconfigSelectionView::pickFileWithDialog(nullptr).isEmpty());
        const QString all = shown.join(u'\n');
        if (language == UiLanguage::Language::chinese) {
            // Names of formats and of Kubernetes' files are the same in every language.
            static const QRegularExpression word(
                QStringLiteral(R"(\b(?!YAML\b|Kubeconfig\b)[A-Za-z]{2,}\b)"));
            EXPECT_FALSE(all.contains(word)) << all.toStdString();
        } else {
            EXPECT_TRUE(all.contains(QLatin1String("Date Modified"))) << all.toStdString();
            EXPECT_FALSE(all.contains(QRegularExpression(QStringLiteral(R"(\p{Han})"))))
                << all.toStdString();
        }
    }
}
