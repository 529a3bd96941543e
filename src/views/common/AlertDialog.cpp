#include "views/common/AlertDialog.h"

#include "installer/DevtronInstaller.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace {

AlertDialog::Presenter& presenter() {
    static AlertDialog::Presenter stored;
    return stored;
}

QMessageBox* buildBox(QWidget* parent, const AlertDialog::Alert& alert) {
    auto* box = new QMessageBox(QMessageBox::Warning, alert.title, alert.text,
                                QMessageBox::NoButton, parent);
    box->setInformativeText(alert.informativeText);
    AlertDialog::useWarningIcon(box);
    // A tool's own words are worth copying into a support request.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (const QString& text : alert.buttons) {
        box->addButton(text, box->buttons().isEmpty() ? QMessageBox::AcceptRole
                                                      : QMessageBox::RejectRole);
    }
    const QList<QAbstractButton*> buttons = box->buttons();
    if (!buttons.isEmpty()) {
        box->setDefaultButton(qobject_cast<QPushButton*>(buttons.constFirst()));
        box->setEscapeButton(buttons.value(alert.escapeButton, buttons.constFirst()));
    }
    return box;
}

int answerOf(const QMessageBox& box, const AlertDialog::Alert& alert) {
    const int clicked = static_cast<int>(box.buttons().indexOf(box.clickedButton()));
    return clicked >= 0 ? clicked : alert.escapeButton;
}

} // namespace

QMessageBox* AlertDialog::open(QWidget* parent, const Alert& alert, const Answer& answer) {
    const QPointer<QWidget> guard(parent);
    const bool hasParent = parent != nullptr;
    const auto deliver = [guard, hasParent, answer](int chosen) {
        if ((guard || !hasParent) && answer) {
            answer(chosen);
        }
    };
    if (presenter()) {
        const int chosen = presenter()(alert);
        // Answered after the current event, as a click on a real box would be.
        QTimer::singleShot(0, qApp, [deliver, chosen] { deliver(chosen); });
        return nullptr;
    }
    QMessageBox* box = buildBox(parent, alert);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, box,
                     [box, alert, deliver] { deliver(answerOf(*box, alert)); });
    box->open();
    return box;
}

int AlertDialog::exec(QWidget* parent, const Alert& alert) {
    if (presenter()) {
        return presenter()(alert);
    }
    QMessageBox* box = buildBox(parent, alert);
    const QPointer<QMessageBox> guard(box);
    box->exec();
    // The box goes with its parent if the window closes while it runs.
    if (!guard) {
        return alert.escapeButton;
    }
    const int answer = answerOf(*box, alert);
    delete box;
    return answer;
}

void AlertDialog::setPresenter(Presenter presenter) {
    ::presenter() = std::move(presenter);
}

void AlertDialog::useWarningIcon(QMessageBox* box) {
    const int size = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
    box->setIconPixmap(IconRegistry::pixmap(QStringLiteral("exclamationmark.triangle.fill"), size,
                                            Palette::orange()));
}

void AlertDialog::installInstallerAlert() {
    DevtronInstaller::setAlertHook(
        [](const QString& message, const QString& informativeText, const QStringList& buttons) {
            return exec(QApplication::activeWindow(),
                        {QStringLiteral("Nimbrel"), message, informativeText, buttons, 0});
        });
}
