#include "views/common/AccessibleWidgets.h"

#include "views/common/ProgressBar.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* kRoleProperty = "nimbrelAccessibleRole";
constexpr const char* kReadAsOneProperty = "nimbrelAccessibleReadAsOne";

// A widget in the role its screen gave it.
class RoleInterface : public QAccessibleWidget {
public:
    RoleInterface(QWidget* widget, QAccessible::Role role, bool readAsOne)
        : QAccessibleWidget(widget, role), m_readAsOne(readAsOne) {}

    int childCount() const override { return m_readAsOne ? 0 : QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        return m_readAsOne ? nullptr : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return m_readAsOne ? -1 : QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return m_readAsOne ? nullptr : QAccessibleWidget::childAt(x, y);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (const QAbstractButton* button = checkable()) {
            state.checkable = true;
            state.checked = button->isChecked();
        }
        return state;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (checkable() != nullptr) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& action) override {
        if (QAbstractButton* button = checkable(); button != nullptr && action == pressAction()) {
            button->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* checkable() const {
        auto* button = qobject_cast<QAbstractButton*>(object());
        return button != nullptr && button->isCheckable() ? button : nullptr;
    }

    bool m_readAsOne;
};

// The progress bar's fraction as a percentage from 0 to 100, which readers speak as "45%".
class ProgressBarInterface : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ProgressBarInterface(ProgressBar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return QString::number(bar()->percent()) + QLatin1Char('%');
        }
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return bar()->percent(); }
    // The bar shows the program's progress; nobody sets it from outside.
    void setCurrentValue(const QVariant& /*value*/) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    const ProgressBar* bar() const { return static_cast<const ProgressBar*>(object()); }
};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("ProgressBar")) {
        if (auto* bar = qobject_cast<ProgressBar*>(widget)) {
            return new ProgressBarInterface(bar);
        }
    }
    const QVariant role = widget->property(kRoleProperty);
    if (role.isValid()) {
        return new RoleInterface(widget, static_cast<QAccessible::Role>(role.toInt()),
                                 widget->property(kReadAsOneProperty).toBool());
    }
    return nullptr;
}

} // namespace

void AccessibleWidgets::install() {
    static const bool installed = [] {
        QAccessible::installFactory(&interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void AccessibleWidgets::setRole(QWidget* widget, QAccessible::Role role, bool readAsOne) {
    install();
    widget->setProperty(kRoleProperty, static_cast<int>(role));
    widget->setProperty(kReadAsOneProperty, readAsOne);
    // An interface made before the role was set (an event sent while the widget was built) would
    // be kept in Qt's cache: drop it, so that the next query builds one in the new role.
    QAccessibleInterface* cached = QAccessible::queryAccessibleInterface(widget);
    if (cached != nullptr && cached->role() != role) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
    }
}
