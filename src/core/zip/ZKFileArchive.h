#pragma once
#include "zip/ZKArchive.h"
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QFile;
class ZKSafePath;

// An archive in a file on disk: expanded into folders, or written from files and folders.
class ZKFileArchive : public ZKArchive {
public:
    // An archive bound to the path: an empty one (ready to be written) when nothing is there,
    // none when the file holds no archive or a broken one (directory outside the file, entry
    // count that does not match the directory, ...). To write a new archive over an old file,
    // delete the file first; an opened archive is added to.
    static std::unique_ptr<ZKFileArchive> archiveWithArchivePath(const QString& path);

    bool useZip64Extensions() const { return iUseZip64Extensions; }

    // Expands every entry into the folder, then (on success) gives the items their dates and
    // permissions and, with the flag, merges AppleDouble data ("__MACOSX/._name") into
    // extended attributes of the files they describe. Whatever the result, the folder is then
    // cleaned up: its items move up into its parent (renamed "name 2.ext", "name 3.ext", ...
    // where the parent holds the name already), except "__MACOSX", and the folder is deleted.
    // Nothing is ever written outside the folder (and, after the clean-up, its parent): an
    // archive with an entry name that is absolute or holds a ".." component fails before
    // anything is written; a link whose target leads out of the folder, or an entry that would
    // be written through such a link, fails the expansion where it stands.
    int inflateToDirectory(const QString& directory, bool usingResourceFork);

    // Expands one entry into the folder, streaming in blocks of ZKZipBlockSize and checking
    // size and CRC-32. A file whose check fails is left written but the answer is ZKFailed.
    int inflateFile(const ZKCDHeader& header, const QString& directory);

    // Adds files, folders (with everything below them) and links, named by their paths relative
    // to basePath; folders get a "/" at the end of their name, links keep their target; the
    // archive file itself is never added. New entries go where the directory was and the
    // directory is written after them; an entry that fails is left out and the archive stays
    // valid. The resource-fork flag is accepted for the callers'
    // sake: files on this platform have none to add.
    int deflateFiles(const QStringList& paths, const QString& basePath, bool usingResourceFork);
    // The folder's content (the folder itself too when it differs from basePath).
    // deflateDirectory(folder, folder, false) puts the folder's entries at the archive root.
    int deflateDirectory(const QString& directory, const QString& basePath, bool usingResourceFork);
    int deflateFile(const QString& path, const QString& basePath, bool usingResourceFork);

protected:
    QByteArray readArchiveBytes(qint64 offset, qint64 count) const override;
    qint64 archiveSize() const override;

private:
    struct Item {
        QString path;
        QString name;  // entry name
    };
    struct EntryContent {
        QByteArray stored;  // a link's target; files are streamed instead
        quint32 crc = 0;
        quint64 compressedSize = 0;
        quint64 uncompressedSize = 0;
    };

    ZKFileArchive() = default;
    bool entriesAreSafe() const;
    void applyAttributesInDirectory(const QString& directory) const;
    std::optional<qint64> entryDataStart(const ZKCDHeader& header) const;
    int inflateLink(const ZKCDHeader& header, qint64 start, const QString& target, const ZKSafePath& safe);
    int inflateRegularFile(const ZKCDHeader& header, qint64 start, const QString& target);

    bool collectItems(const QString& path, const QString& basePath, bool recursive, QList<Item>& items) const;
    int deflateItems(const QList<Item>& items);
    int writeEntry(QFile& file, const Item& item);
    int deflateFileContent(QFile& file, const QString& path, EntryContent& content);
    int storeOtherContent(QFile& file, const QString& path, EntryContent& content);

    bool iUseZip64Extensions = false;
};
