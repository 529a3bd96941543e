#include "installer/DevtronAlertDialog.h"

#include "installer/DevtronInstaller.h"

#include <QApplication>
#include <QMessageBox>

void DevtronAlertDialog::show(const QString& message, const QString& informativeText) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Nimbrel"), message, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setInformativeText(informativeText);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

void DevtronAlertDialog::install() {
    DevtronInstaller::setAlertHook(&DevtronAlertDialog::show);
}
