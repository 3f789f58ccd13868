#pragma once

#include "entry/TodayEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QIODevice;

namespace recovery {

// What a running instance keeps against a crash: today's entry as the first tab shows it and,
// while it is not saved, the diary document.
struct RecoveryData {
    TodayEntry entry;
    bool hasDiary = false;
    QString diaryText;
    QString fileName;
    bool newDocument = false; // never saved: it has no file name yet
    // The diary file as it was on the disk when this was kept (modification time in ms since
    // the epoch, size): tells at restore whether the file changed since. -1: not known.
    qint64 fileModifiedMs = -1;
    qint64 fileSize = -1;
    // Its content's hash (see document::contentHash) as it was then; empty when not known.
    QByteArray fileHash;
    // The encoding the diary is saved in (text::Encoding) and whether it has a byte order mark;
    // files of earlier versions held Shift-JIS diaries only.
    int diaryEncoding = 0;
    bool byteOrderMark = false;
    // The line ends the diary is saved with (text::LineEnd); earlier versions kept CR LF only.
    int lineEnd = 0;
};

// Writes the data in the recovery format: a header with the format version, every text as its
// length and its raw UTF-16 code units (any unit, paired or not, comes back as it was), and a
// SHA-1 of all of that. False when a write fell short.
bool writeRecoveryData(QIODevice& out, const RecoveryData& data);

// The data of a recovery file, or nothing when the bytes are not of this format and version
// (files of the previous version read too), are cut short or do not match their checksum.
std::optional<RecoveryData> readRecoveryData(QByteArrayView bytes);

// True for a file in this format written by a later version of the program: not damaged, just
// not readable here.
bool isLaterRecoveryVersion(QByteArrayView bytes);

} // namespace recovery
