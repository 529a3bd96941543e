#include "views/completion/CompletionInfoRow.h"

#include "views/common/Labels.h"
#include "views/completion/CompletionController.h"
#include "views/completion/RowButton.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

CompletionInfoRow::CompletionInfoRow(const QString& label, const QString& value, bool showCopy,
                                     bool showOpen, QWidget* parent)
    : QWidget(parent), m_label(label), m_value(value) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(6);

    QLabel* name = Labels::text(label, Palette::font(12), Palette::secondaryText(), this);
    name->setFixedWidth(60);
    layout->addWidget(name);

    const bool address = label == QLatin1String("地址");
    const QFont font = address ? Palette::monospaceFont(12) : Palette::font(12);
    QLabel* text = Labels::text(QFontMetrics(font).elidedText(value, Qt::ElideMiddle, 320), font,
                                Palette::primaryText(), this);
    text->setObjectName(QStringLiteral("value"));
    text->setToolTip(value);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(text, 1);

    if (showCopy) {
        QPushButton* copy = makeRowButton(QStringLiteral("doc.on.doc"), QStringLiteral("copy"),
                                          QStringLiteral("复制") + label, this);
        connect(copy, &QPushButton::clicked, this,
                [this] { CompletionController::putOnClipboard(m_value); });
        layout->addWidget(copy);
    }
    if (showOpen) {
        QPushButton* open =
            makeRowButton(QStringLiteral("arrow.up.forward.square"), QStringLiteral("open"),
                          QStringLiteral("打开") + label, this);
        connect(open, &QPushButton::clicked, this,
                [this] { CompletionController::openURL(m_value); });
        layout->addWidget(open);
    }
}
