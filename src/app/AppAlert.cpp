#include "app/AppAlert.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace {
AppAlert::Responder& responderSlot() {
    static AppAlert::Responder responder;
    return responder;
}
}

void AppAlert::setResponder(Responder responder) {
    responderSlot() = std::move(responder);
}

int AppAlert::run(QWidget* parent, const Request& request) {
    if (responderSlot()) return responderSlot()(request);
    return runOnScreen(parent, request);
}

int AppAlert::runOnScreen(QWidget* parent, const Request& request) {
    QMessageBox box(parent);
    box.setIcon(request.style == Warning ? QMessageBox::Warning : QMessageBox::Information);
    box.setText(request.messageText);
    box.setInformativeText(request.informativeText);
    QList<QAbstractButton*> buttons;
    for (const QString& title : request.buttons) {
        const auto role = buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        buttons << box.addButton(title, role);
    }
    if (!buttons.isEmpty()) box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    box.exec();
    const int index = int(buttons.indexOf(box.clickedButton()));
    return index < 0 ? int(buttons.size()) - 1 : index;
}
