#include "views/choice/PreflightRow.h"

#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using State = PreflightCheck::State;

QString symbolFor(State state) {
    switch (state) {
    case State::passed:
        return QStringLiteral("checkmark.circle.fill");
    case State::warning:
        return QStringLiteral("exclamationmark.triangle.fill");
    case State::failed:
        return QStringLiteral("xmark.circle.fill");
    }
    return {};
}

QColor tintFor(State state) {
    switch (state) {
    case State::passed:
        return Palette::green();
    case State::warning:
        return Palette::orange();
    case State::failed:
        return Palette::red();
    }
    return Palette::grey();
}

QString stateWord(State state) {
    switch (state) {
    case State::passed:
        return QStringLiteral("通过");
    case State::warning:
        return QStringLiteral("警告");
    case State::failed:
        return QStringLiteral("未通过");
    }
    return {};
}

} // namespace

PreflightRow::PreflightRow(const PreflightCheck::Result& result, QWidget* parent)
    : QWidget(parent), m_result(result) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto* symbol = new QLabel(this);
    symbol->setObjectName(QStringLiteral("icon"));
    symbol->setFixedSize(16, 16);
    symbol->setPixmap(IconRegistry::pixmap(symbolFor(result.state), 12, tintFor(result.state)));
    layout->addWidget(symbol, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(2);
    QLabel* cause = Labels::text(result.title + QStringLiteral("：") + result.cause,
                                 Palette::font(12), Palette::primaryText(), this);
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
    layout->addLayout(texts, 1);
    // Read as one line: the state in words, then what was found and what to do.
    setAccessibleName(result.title + QLatin1Char(' ') + stateWord(result.state) +
                      QStringLiteral("：") + result.cause + QLatin1Char(' ') + result.remedy);
}
