#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QAbstractButton;
class QMessageBox;
class QWidget;

// Alerts of the application. Every alert goes through run() (modal) or notify(), so tests can
// answer them without a person by installing a responder.
class AppAlert {
public:
    enum Style { Informational, Warning };
    struct Request {
        Style style = Warning;
        QString messageText;
        QString informativeText;
        QStringList buttons;   // first button first
    };
    // Answers with the 0-based index of the pressed button.
    using Responder = std::function<int(const Request&)>;

    static int run(QWidget* parent, const Request& request);
    // Shows the alert and returns at once; the answer is not wanted (a responder still gets it).
    static void notify(QWidget* parent, const Request& request);
    // Replaces the on-screen alert; an empty responder restores it.
    static void setResponder(Responder responder);

    // The box with the request's buttons; *buttons gets them in the request's order.
    static QMessageBox* makeBox(QWidget* parent, const Request& request, QList<QAbstractButton*>* buttons = nullptr);

private:
    static int runOnScreen(QWidget* parent, const Request& request);
};
