#include "views/completion/CompletionInfoRow.h"

#include "views/common/Labels.h"
#include "views/completion/CompletionController.h"
#include "views/completion/RowButton.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// A label inside a button's name loses its capital, as the other buttons' names have none
// ("Copy address" beside "Copy password").
QString inSentence(const QString& label) {
    return label.left(1).toLower() + label.mid(1);
}

} // namespace

CompletionInfoRow::CompletionInfoRow(const QString& label, const QString& value, bool showCopy,
                                     bool showOpen, QWidget* parent)
    : IconTextRow(QString(), label, parent) {
    QHBoxLayout* layout = rowLayout();
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(6);
    setTextLook(12, Palette::secondaryText(), 60);

    m_text = Labels::text({}, Palette::font(12), Palette::primaryText(), this);
    m_text->setObjectName(QStringLiteral("value"));
    // A reader names the value by its label ("地址").
    textLabel()->setBuddy(m_text);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addAfterText(m_text, 1);

    if (showCopy) {
        QPushButton* copy = makeRowButton(QStringLiteral("doc.on.doc"), QStringLiteral("copy"),
                                          //: %1 is the row's label, such as the address.
                                          tr("复制%1").arg(inSentence(label)), this);
        connect(copy, &QPushButton::clicked, this, [this] { emit copyRequested(m_value); });
        layout->addWidget(copy);
        m_buttons.append(copy);
    }
    if (showOpen) {
        QPushButton* open =
            makeRowButton(QStringLiteral("arrow.up.forward.square"), QStringLiteral("open"),
                          //: %1 is the row's label, such as the address.
                          tr("打开%1").arg(inSentence(label)), this);
        connect(open, &QPushButton::clicked, this,
                [this] { CompletionController::openURL(m_value); });
        layout->addWidget(open);
        m_buttons.append(open);
    }
    setValue(value);
}

void CompletionInfoRow::setValue(const QString& value, const QString& missingText) {
    m_value = value;
    const bool read = !value.isEmpty();
    const bool address = label() == addressLabel();
    const QFont font = read && address ? Palette::monospaceFont(12) : Palette::font(12);
    m_text->setFont(font);
    const QString missing = missingText.isEmpty() ? unreadText() : missingText;
    m_text->setText(read ? QFontMetrics(font).elidedText(value, Qt::ElideMiddle, 320) : missing);
    m_text->setToolTip(value);
    Labels::setColour(m_text, read                    ? Palette::primaryText()
                              : missingText.isEmpty() ? Palette::orange()
                                                      : Palette::secondaryText());
    for (QPushButton* button : std::as_const(m_buttons)) {
        button->setVisible(read);
    }
}

QString CompletionInfoRow::addressLabel() {
    return tr("地址");
}

QString CompletionInfoRow::unreadText() {
    return tr("未能读取");
}
