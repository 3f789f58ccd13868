#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QFile;
class QIODevice;

// Reading a file whole and replacing a file whole: the one sequence every writer of the program
// uses (the writer's diary, the settings file, the recovery file, the journal of a write in
// place).

// What the file holds; nothing when it cannot be opened or read to its end.
std::optional<QByteArray> readWholeFile(const QString& path);

// Opens a file of the program's own for reading: a regular file (a link is not followed) that
// belongs to the writer, has no other name and that no one else may read or write. False
// otherwise, the file left closed. Opened by its descriptor, the QFile no longer gives its name.
bool openOwnFile(QFile& file);
// What such a file holds; nothing when it is not one or cannot be read to its end.
std::optional<QByteArray> readOwnFile(const QString& path);

// Writes a file's new content into device; false when it could not be written whole.
using WriteContent = std::function<bool(QIODevice& device)>;
// Writes bytes, all of them: a short count (a full disk, a size limit) is a failure.
WriteContent contentWriter(const QByteArray& bytes);

// Gives the new file, by its descriptor, what it must be apart from its content (owner, mode,
// attributes); false when that cannot be done.
using PrepareFile = std::function<bool(int descriptor)>;

enum class Replaced { Done, Failed, NotBeside };
enum class FolderSync {
    BestEffort, // the file is replaced even when its folder could not be synced
    Required,   // a folder that could not be synced fails the replacement
};

struct Replacement {
    // Without it the new file has the old file's permissions, or the default ones when new.
    PrepareFile prepare;
    FolderSync folderSync = FolderSync::BestEffort;
};

// Replaces the file whole or leaves it as it was. The new content is written into a temporary
// file beside the file (beside a symbolic link's target: the link stays a link) whose name fits
// wherever the file's does, prepared, synced, renamed over the file, and the folder synced so that
// the rename survives a power loss. Temporary files that a killed program left in that folder
// (only this program's, by their name, and the writer's own) are removed first. NotBeside when no
// file could be made beside it or prepared; Failed when the content, its sync, the rename or a
// required folder sync failed.
Replaced replaceFile(const QString& path, const WriteContent& write, const Replacement& how = {});

// Replaces a file that only its owner may read or write (0600), whatever it was before; true
// only when it was replaced.
bool replaceOwnerOnlyFile(const QString& path, const WriteContent& write, FolderSync folderSync);

// Makes the renames and new names inside the folder survive a power loss; false when it could
// not be synced.
bool syncFolder(const QString& folder);
