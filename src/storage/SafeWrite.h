#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file whole or leaves it as it was; false when the write failed. The new content
// is written beside the file, given the old file's owner, group, mode and extended attributes
// (its ACL among them), synced and renamed over it. Where that cannot be done (no file can be
// made beside it, what the file is cannot be carried over, or the file has other names as hard
// links) the file is written in place (see writeInPlace), guarded by a copy and a journal in
// backupFolder.
bool writeFileSafely(const QString& path, const QByteArray& bytes, const QString& backupFolder);

// A write past the process's file-size limit fails (EFBIG) instead of killing the program.
void ignoreFileSizeSignal();
