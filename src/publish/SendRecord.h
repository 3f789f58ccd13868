#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The record of sends ("送信の記録"), a file of the state folder: one line of JSON per send, the
// newest last, the last 200 kept.

struct SendEntry {
    QDateTime when;
    QString site;      // "user@host:folder"
    QStringList files; // what went to the site, in the order sent
    QString result;    // the result line the writer saw
};

inline constexpr int sendRecordLength = 200;

QList<SendEntry> readSendRecord(const QString& path);
// Adds the send, dropping the oldest beyond the last 200; false when the file could not be
// written.
bool addToSendRecord(const QString& path, const SendEntry& entry);
