#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files on both sides of a send, as the publishing tests read and write them.

// A Shift-JIS diary with CR LF line ends, a backslash byte (0x5C as trail byte of "ソ") and bytes
// above 0x7F throughout: any re-encoding on the way changes it.
QByteArray shiftJisDiary(int repeats = 1);
// The file's bytes, or "(missing)".
QByteArray readAll(const QString& path);
// Writes the file whole; a failure fails the test.
void writeAll(const QString& path, const QByteArray& bytes);
// What a remote folder holds, hidden files (a temporary upload) included.
QStringList remoteFiles(const QString& folder);
