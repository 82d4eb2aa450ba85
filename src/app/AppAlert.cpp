#include "app/AppAlert.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

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

void AppAlert::notify(QWidget* parent, const Request& request) {
    if (responderSlot()) {
        responderSlot()(request);
        return;
    }
    QMessageBox* box = makeBox(parent, request);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

QMessageBox* AppAlert::makeBox(QWidget* parent, const Request& request, QList<QAbstractButton*>* buttons) {
    auto* box = new QMessageBox(parent);
    box->setIcon(request.style == Warning ? QMessageBox::Warning : QMessageBox::Information);
    box->setText(request.messageText);
    box->setInformativeText(request.informativeText);
    QPushButton* first = nullptr;
    for (const QString& title : request.buttons) {
        QPushButton* button = box->addButton(title, first ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (!first) first = button;
        if (buttons) *buttons << button;
    }
    if (first) box->setDefaultButton(first);
    return box;
}

int AppAlert::runOnScreen(QWidget* parent, const Request& request) {
    QList<QAbstractButton*> buttons;
    std::unique_ptr<QMessageBox> box(makeBox(parent, request, &buttons));
    box->exec();
    const int index = int(buttons.indexOf(box->clickedButton()));
    return index < 0 ? int(buttons.size()) - 1 : index;
}
