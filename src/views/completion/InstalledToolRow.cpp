#include "views/completion/InstalledToolRow.h"

#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>

InstalledToolRow::InstalledToolRow(const QString& name, const QString& version, bool showWarning,
                                   QWidget* parent)
    : QWidget(parent), m_name(name), m_version(version), m_showWarning(showWarning) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    auto* badge = new QLabel(this);
    badge->setFixedSize(16, 16);
    badge->setAlignment(Qt::AlignCenter);
    static const QStringList lettered = {QStringLiteral("Kubectl"), QStringLiteral("Helm"),
                                         QStringLiteral("Devtron")};
    if (lettered.contains(name)) {
        badge->setObjectName(QStringLiteral("badge"));
        badge->setText(name.left(1).toUpper());
        badge->setFont(Palette::font(9, QFont::Bold));
        badge->setStyleSheet(
            QStringLiteral("#badge { color: %1; background-color: %2; border-radius: 3px; }")
                .arg(Palette::white().name(QColor::HexArgb),
                     Palette::withOpacity(Palette::grey(), 0.8).name(QColor::HexArgb)));
    } else {
        badge->setObjectName(QStringLiteral("icon"));
        badge->setPixmap(IconRegistry::pixmap(QStringLiteral("doc.fill"), 10, Palette::grey()));
    }
    layout->addWidget(badge);

    QLabel* title = Labels::text(name, Palette::font(11), Palette::primaryText(), this);
    title->setFixedWidth(90);
    layout->addWidget(title);

    m_mark = new QLabel(this);
    m_mark->setObjectName(QStringLiteral("mark"));
    layout->addWidget(m_mark);
    m_status = Labels::text(version, Palette::font(11), Palette::green(), this);
    m_status->setObjectName(QStringLiteral("status"));
    layout->addWidget(m_status);
    layout->addStretch();
    setStatus(version, showWarning);
}

void InstalledToolRow::setStatus(const QString& version, bool showWarning) {
    m_version = version;
    m_showWarning = showWarning;
    const QColor colour = showWarning ? Palette::orange() : Palette::green();
    m_mark->setPixmap(IconRegistry::pixmap(showWarning
                                               ? QStringLiteral("exclamationmark.triangle.fill")
                                               : QStringLiteral("checkmark.circle.fill"),
                                           10, colour));
    m_status->setText(version);
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_status->setPalette(palette);
}
