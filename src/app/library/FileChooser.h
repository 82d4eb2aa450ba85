#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

// The open and save panels of the library commands. Each panel is a window-modal dialog over the
// main window; tests answer it without a person by installing a responder, which gets the panel
// as configured and returns the chosen paths (empty: cancelled).
class FileChooser {
public:
    using Responder = std::function<QStringList(QFileDialog&)>;

    // The files offered are those with the extension, described as kind ("Theme files").
    // A path to save to; the extension is appended when the chosen name has none. Empty: cancelled.
    static QString saveFile(QWidget* parent, const QString& title, const QString& kind, const QString& extension);
    // Existing files (several when many is true). Empty: cancelled or none.
    static QStringList openFiles(QWidget* parent, const QString& title, const QString& kind, const QString& extension, bool many);
    // An existing folder; the panel offers no folder creation. Empty: cancelled.
    static QString openFolder(QWidget* parent, const QString& title);

    // The extensions of a filter text, "Images|*.jpg;*.png" -> jpg, png (without a "|": all of it).
    static QStringList extensionsIn(const QString& filter);
    // "name" -> "name.ext"; a name with an extension of its own stays as it is.
    static QString withExtension(const QString& path, const QString& extension);
    // Replaces the on-screen panel; an empty responder restores it.
    static void setResponder(Responder responder);

private:
    static QStringList run(QFileDialog& panel);
};
