#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writes the new content over the file itself, but only after a complete, synced copy of the
// old file and a journal (see WriteJournal) are in backupFolder: a failed write puts the old
// content back, and a write cut short by the end of the program is finished by
// finishInterruptedWrites. False when the write failed, or when there is no backupFolder (empty):
// the program has no folder it may trust with the copy.
bool writeInPlace(const QString& path, const QByteArray& bytes, const QString& backupFolder);

// An in-place write that could not be settled: its copy of the old content and its journal are
// left as they are. target is the file as the journal names it, empty when it cannot be read.
struct KeptCopy {
    QString copy;
    QString target;
};

// Settles every in-place write that an ended program left in backupFolder: a file that holds
// the whole new content keeps it, any other gets its old content back, and the write's files
// go, as do copies a program had not finished making. A write is settled only when its journal
// is whole, the copy is the one the journal describes and the file at the journal's path is the
// file that was being written (same device and inode); otherwise nothing is touched and the
// write is returned. Writes still running in another copy of the program are left alone, and so
// are copies and journals that are not the writer's own files (see openOwnFile).
QList<KeptCopy> finishInterruptedWrites(const QString& backupFolder);
