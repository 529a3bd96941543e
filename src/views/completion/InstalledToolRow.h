#pragma once

#include "views/common/IconTextRow.h"

#include <QString>

class QLabel;

// One line of the installed-tools list: badge, name, status mark and status word.
class InstalledToolRow : public IconTextRow {
    Q_OBJECT

public:
    InstalledToolRow(const QString& name, const QString& version, bool showWarning = false,
                     QWidget* parent = nullptr);

    const QString& name() const { return text(); }
    const QString& version() const { return m_version; }
    bool showWarning() const { return m_showWarning; }
    void setStatus(const QString& version, bool showWarning);

private:
    QString m_version;
    bool m_showWarning;
    QLabel* m_mark;
    QLabel* m_status;
};
