#pragma once

#include <QByteArray>
#include <QString>

// Where a write over a file in place keeps its copy of the old file: "pelmora" in the user's
// state folder ($XDG_STATE_HOME, by default ~/.local/state).
QString writeBackupFolder();

// Replaces the file whole or leaves it as it was; false when the write failed. The new content
// is written beside the file, synced and renamed over it. Where no file can be made beside it,
// the file is written in place, but only after a complete, synced copy of the old file and a
// journal naming the new content are in backupFolder: a failed write puts the old content back,
// and a write cut short by the end of the program is finished by finishInterruptedWrites.
bool writeFileSafely(const QString& path, const QByteArray& bytes, const QString& backupFolder);

// Settles every in-place write that a killed program left in backupFolder: a file that holds
// the whole new content keeps it, any other gets its old content back. Writes still running in
// another copy of the program are left alone.
void finishInterruptedWrites(const QString& backupFolder);

// A write past the process's file-size limit fails (EFBIG) instead of killing the program.
void ignoreFileSizeSignal();
