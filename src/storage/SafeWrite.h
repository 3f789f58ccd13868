#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The program's state folder: "pelmora" in the user's state folder ($XDG_STATE_HOME, by default
// ~/.local/state). It keeps the copies of files written in place and the recovery data.
QString stateFolder();

// Makes the state folder (and the folders above it) if it is not there, and leaves it readable
// by its owner only (0700), as every file made in it must be (0600): they name the writer's
// files and hold their text. False when it is not a folder afterwards.
bool makeStateFolder(const QString& folder);

// Replaces the file whole or leaves it as it was; false when the write failed. The new content
// is written beside the file, given the old file's owner, group, mode and extended attributes
// (its ACL among them), synced and renamed over it. Where that cannot be done (no file can be
// made beside it, what the file is cannot be carried over, or the file has other names as hard
// links) the file is written in place, but only after a complete, synced copy of the old file
// and a journal are in backupFolder: a failed write puts the old content back, and a write cut
// short by the end of the program is finished by finishInterruptedWrites.
bool writeFileSafely(const QString& path, const QByteArray& bytes, const QString& backupFolder);

// What an in-place write records before it touches the file: the file by its absolute path and
// by its device and inode as when the copy was made, and the copy of the old content and the
// new content, each by its size and SHA-256 (64 lower-case hex digits).
struct WriteJournal {
    QString target;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 copySize = 0;
    QByteArray copyHash;
    qint64 newSize = 0;
    QByteArray newHash;
    bool operator==(const WriteJournal&) const = default;
};

// The journal as it is stored: text lines closed by a SHA-256 of all the lines before.
QByteArray writeJournalBytes(const WriteJournal& journal);
// The journal the bytes hold; nothing unless they are exactly what writeJournalBytes gives
// for some journal, their checksum included.
std::optional<WriteJournal> readWriteJournal(const QByteArray& bytes);

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
// write is returned. Writes still running in another copy of the program are left alone.
QList<KeptCopy> finishInterruptedWrites(const QString& backupFolder);

// A write past the process's file-size limit fails (EFBIG) instead of killing the program.
void ignoreFileSizeSignal();
