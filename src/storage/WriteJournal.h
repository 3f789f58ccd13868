#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

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

// The SHA-256 of the bytes as a journal gives it: 64 lower-case hex digits.
QByteArray sha256Hex(const QByteArray& bytes);

// The journal as it is stored: text lines closed by a SHA-256 of all the lines before.
QByteArray writeJournalBytes(const WriteJournal& journal);
// The journal the bytes hold; nothing unless they are exactly what writeJournalBytes gives
// for some journal, their checksum included.
std::optional<WriteJournal> readWriteJournal(const QByteArray& bytes);

// The file a journal names, read as far as its target line goes even when the journal is not
// whole, for telling the writer; empty when that line is not there.
QString namedTarget(const QByteArray& bytes);
