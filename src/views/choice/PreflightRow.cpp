#include "views/choice/PreflightRow.h"

#include "views/common/Buttons.h"
#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The symbol, its tint and the word a screen reader says, for each state in enum order.
struct Look {
    const char* symbol;
    QColor (*tint)();
    const char* word;
};
const Look looks[] = {
    {"checkmark.circle.fill", &Palette::green, QT_TRANSLATE_NOOP("PreflightRow", "通过")},
    {"exclamationmark.triangle.fill", &Palette::orange, QT_TRANSLATE_NOOP("PreflightRow", "警告")},
    {"xmark.circle.fill", &Palette::red, QT_TRANSLATE_NOOP("PreflightRow", "未通过")},
};

} // namespace

PreflightRow::PreflightRow(const PreflightCheck::Result& result, QWidget* parent)
    : QWidget(parent), m_result(result) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto* symbol = new QLabel(this);
    symbol->setObjectName(QStringLiteral("icon"));
    symbol->setFixedSize(16, 16);
    const Look& look = looks[static_cast<int>(result.state)];
    symbol->setPixmap(IconRegistry::pixmap(QString::fromLatin1(look.symbol), 12, look.tint()));
    layout->addWidget(symbol, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(2);
    QLabel* cause = Labels::text(tr("%1：%2").arg(result.title, result.cause), Palette::font(12),
                                 Palette::primaryText(), this);
    cause->setObjectName(QStringLiteral("cause"));
    cause->setWordWrap(true);
    texts->addWidget(cause);
    if (!result.remedy.isEmpty()) {
        QLabel* remedy =
            Labels::text(result.remedy, Palette::font(11), Palette::secondaryText(), this);
        remedy->setObjectName(QStringLiteral("remedy"));
        remedy->setWordWrap(true);
        texts->addWidget(remedy);
    }
    if (result.brokenRelease) {
        m_repairButton = Buttons::link(tr("清理后重新安装"), 12, this);
        m_repairButton->setObjectName(QStringLiteral("repairButton"));
        texts->addWidget(m_repairButton, 0, Qt::AlignLeft);
        connect(m_repairButton, &QPushButton::clicked, this, &PreflightRow::repairRequested);
    }
    layout->addLayout(texts, 1);
    // Read as one line: the state in words, then what was found and what to do.
    //: The check's title, its state (passed, warning, failed), what was found, what to do.
    setAccessibleName(
        tr("%1 %2：%3 %4").arg(result.title, tr(look.word), result.cause, result.remedy));
}
