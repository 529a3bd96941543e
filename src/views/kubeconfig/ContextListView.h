#pragma once

#include "cluster/KubeconfigContexts.h"

#include <QList>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QRadioButton;
class QVBoxLayout;

// The contexts of the chosen kubeconfig under its card: one radio button a context, with its
// cluster's server and its user beside the name, when there are several; a single line when there
// is one; why there are none, or that they are being read, otherwise.
class ContextListView : public QWidget {
    Q_OBJECT

public:
    explicit ContextListView(QWidget* parent = nullptr);

    void setContexts(const QList<KubeconfigContexts::Context>& contexts, int chosen,
                     const QString& failure);
    // The radio buttons, in the list's order, for the screen's Tab chain.
    QList<QWidget*> controls() const;

signals:
    void picked(int index);

private:
    static QString details(const KubeconfigContexts::Context& context);

    QVBoxLayout* m_rows;
    QLabel* m_heading;
    QButtonGroup* m_group;
    QList<QWidget*> m_rowWidgets;
    QList<QWidget*> m_buttons;
};
