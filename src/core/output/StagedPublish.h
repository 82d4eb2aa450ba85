#pragma once
#include "output/OutputFolderLock.h"
#include <QString>

// Publishing into a folder so that a reader, or a publish that is killed at any moment, finds
// either the previous book or the new one, whole. The new book is written into a staging folder
// inside the output folder (".leafmill-publish/book"), whose files/ starts as hard links to the
// published files/ (so unchanged pages cost nothing, and files publishing does not make stay).
// Committing records what is to be switched, then swaps each entry of the staging folder with
// the published one in one step (files/, holding the book description, last) and removes the
// staging folder with the previous book. The next publish into the folder finishes a switch that
// was interrupted, or throws away a staging folder that was never committed.
//
// Writers into the staging folder must replace files (remove, or write aside and rename) and
// never write into an existing file: it may be a link to the published book's.
class StagedPublish {
public:
    static constexpr char kStagingName[] = ".leafmill-publish";

    explicit StagedPublish(const QString& folder);
    ~StagedPublish();  // rolls back what was neither committed nor rolled back
    StagedPublish(const StagedPublish&) = delete;
    StagedPublish& operator=(const StagedPublish&) = delete;

    // Locks the folder, settles an interrupted publish and prepares the staging folder.
    bool begin();
    // Where the new book is written: the staging folder, or a path inside the output folder
    // mapped into it.
    QString stagingFolder() const;
    QString staged(const QString& pathInFolder) const;
    // Puts the staged book in place; false (errorString) when a step failed, in which case the
    // next publish finishes the switch.
    bool commit();
    // Throws the staged book away; the published one stays as it was.
    void rollback();
    QString errorString() const { return iError; }

private:
    // Settles an interrupted publish in the folder: finishes a committed switch, removes an
    // uncommitted staging folder. Called with the folder's lock held.
    bool recover();

    QString iFolder;
    OutputFolderLock iLock;
    bool iOpen = false;
    QString iError;
};
