#include "views/kubeconfig/ContextListView.h"

#include "views/common/AccessibleWidgets.h"
#include "views/common/Labels.h"
#include "views/style/Palette.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

ContextListView::ContextListView(QWidget* parent)
    : QWidget(parent), m_rows(new QVBoxLayout(this)), m_group(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("contextList"));
    // One choice of several: a reader meets a named group of radio buttons.
    AccessibleWidgets::setRole(this, QAccessible::Grouping);
    setAccessibleName(tr("上下文"));
    m_rows->setContentsMargins(0, 4, 0, 0);
    m_rows->setSpacing(6);
    m_heading =
        Labels::text(tr("上下文"), Palette::font(14, QFont::Medium), Palette::primaryText(), this);
    m_rows->addWidget(m_heading);
    connect(m_group, &QButtonGroup::idClicked, this, &ContextListView::picked);
}

QString ContextListView::details(const KubeconfigContexts::Context& context) {
    //: %1 is the cluster's server address, %2 the kubeconfig user.
    return tr("%1，用户 %2").arg(context.server, context.user);
}

void ContextListView::setContexts(const QList<KubeconfigContexts::Context>& contexts, int chosen,
                                  const QString& failure) {
    qDeleteAll(m_rowWidgets);
    m_rowWidgets.clear();
    m_buttons.clear();
    const auto addLine = [this](const QString& text, const QColor& colour) {
        QLabel* line = Labels::text(text, Palette::font(12), colour, this);
        line->setWordWrap(true);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_rows->addWidget(line);
        m_rowWidgets << line;
        return line;
    };
    if (contexts.isEmpty()) {
        addLine(failure.isEmpty() ? tr("正在读取上下文...") : failure,
                failure.isEmpty() ? Palette::secondaryText() : Palette::orange());
        return;
    }
    if (contexts.size() == 1) {
        const KubeconfigContexts::Context& only = contexts.constFirst();
        //: %1 is the only context's name, %2 its server and user.
        QLabel* line = addLine(tr("%1：%2").arg(only.name, details(only)), Palette::primaryText());
        line->setObjectName(QStringLiteral("contextLine"));
        return;
    }
    for (int i = 0; i < contexts.size(); ++i) {
        auto* row = new QWidget(this);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(10);
        auto* button = new QRadioButton(contexts[i].name, row);
        button->setObjectName(QStringLiteral("context%1").arg(i));
        button->setFont(Palette::font(13));
        // Read with the button: a reader hears the name, then where it leads.
        button->setAccessibleDescription(details(contexts[i]));
        button->setChecked(i == chosen);
        m_group->addButton(button, i);
        layout->addWidget(button);
        QLabel* detail =
            Labels::text(details(contexts[i]), Palette::font(11), Palette::secondaryText(), row);
        detail->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        layout->addWidget(detail, 1);
        m_rows->addWidget(row);
        m_rowWidgets << row;
        m_buttons << button;
    }
}

QList<QWidget*> ContextListView::controls() const {
    return m_buttons;
}
