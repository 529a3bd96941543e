#include "views/completion/InstalledToolRow.h"

#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

// The bundled tools and Devtron wear their initial; anything else a document symbol.
bool isLettered(const QString& name) {
    return name == QLatin1String("Kubectl") || name == QLatin1String("Helm") ||
           name == QLatin1String("Devtron");
}

} // namespace

InstalledToolRow::InstalledToolRow(const QString& name, const QString& version, bool showWarning,
                                   QWidget* parent)
    : IconTextRow(isLettered(name) ? name : QStringLiteral("doc.fill"), name, parent),
      m_version(version), m_showWarning(showWarning), m_mark(new QLabel(this)),
      m_status(Labels::text(version, Palette::font(11), Palette::green(), this)) {
    rowLayout()->setSpacing(8);
    if (isLettered(name)) {
        showBadge(name.left(1).toUpper(), Palette::withOpacity(Palette::grey(), 0.8));
    } else {
        showSymbol(Palette::grey(), 10);
    }
    setTextLook(11, Palette::primaryText(), 90);

    m_mark->setObjectName(QStringLiteral("mark"));
    addAfterText(m_mark);
    m_status->setObjectName(QStringLiteral("status"));
    addAfterText(m_status);
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
    Labels::setColour(m_status, colour);
}
