#include "app/library/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
FileChooser::Responder& responderSlot() {
    static FileChooser::Responder responder;
    return responder;
}

QString filterFor(const QString& kind, const QString& extension) {
    return QStringLiteral("%1 (*.%2)").arg(kind, extension);
}
}

void FileChooser::setResponder(Responder responder) {
    responderSlot() = std::move(responder);
}

QStringList FileChooser::extensionsIn(const QString& filter) {
    const QString patterns = filter.contains(QLatin1Char('|')) ? filter.section(QLatin1Char('|'), 1, 1) : filter;
    QStringList extensions;
    for (const QString& type : QString(patterns).remove(QLatin1Char(';')).split(QStringLiteral("*.")))
        if (!type.trimmed().isEmpty()) extensions << type.trimmed();
    return extensions;
}

QString FileChooser::withExtension(const QString& path, const QString& extension) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + extension;
}

QStringList FileChooser::run(QFileDialog& panel) {
    panel.setWindowModality(Qt::WindowModal);
    panel.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (responderSlot()) return responderSlot()(panel);
    return panel.exec() == QDialog::Accepted ? panel.selectedFiles() : QStringList();
}

QString FileChooser::saveFile(QWidget* parent, const QString& title, const QString& kind, const QString& extension) {
    QFileDialog panel(parent, title);
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setNameFilters({filterFor(kind, extension), QObject::tr("All files (*)")});
    panel.setDefaultSuffix(extension);   // so the panel itself asks before replacing "name.ext"
    const QStringList chosen = run(panel);
    return chosen.isEmpty() ? QString() : withExtension(chosen.first(), extension);
}

QStringList FileChooser::openFiles(QWidget* parent, const QString& title, const QString& kind, const QString& extension, bool many) {
    QFileDialog panel(parent, title);
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    panel.setFileMode(many ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    panel.setNameFilter(filterFor(kind, extension));
    return run(panel);
}

QString FileChooser::openFolder(QWidget* parent, const QString& title) {
    QFileDialog panel(parent, title);
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    panel.setFileMode(QFileDialog::Directory);
    panel.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
    const QStringList chosen = run(panel);
    return chosen.isEmpty() ? QString() : chosen.first();
}
