#pragma once
#include <QString>
#include <optional>

// Keeps an expansion inside its folder: turns entry names and link targets into paths under the
// folder, following links already on disk, and refuses anything that would lead out of it.
class ZKSafePath {
public:
    // The folder must exist.
    explicit ZKSafePath(const QString& root);

    // Not empty, not absolute (nor a drive name), no ".." component, no NUL character.
    static bool isSafeEntryName(const QString& name);
    // A relative target that, taken lexically from the entry's folder, stays under the root.
    static bool isSafeLinkTarget(const QString& entryName, const QString& target);

    const QString& root() const { return iRoot; }
    // The path to write the entry at: its folders resolved through the links on disk, the last
    // component as named. None when it would lie outside the root.
    std::optional<QString> targetFor(const QString& entryName) const;
    // Whether a link at linkPath (a path under the root) with that target points under the root,
    // following the links on disk.
    bool linkStaysInside(const QString& linkPath, const QString& target) const;

private:
    std::optional<QString> resolve(QString current, const QString& relative, int depth) const;

    QString iRoot;
};
