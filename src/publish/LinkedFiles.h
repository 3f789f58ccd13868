#pragma once

#include "publish/SiteAddress.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The local files a diary links (pictures, stylesheets, other pages), which go to the site with
// it, and the record per site of what was sent there, so that only new or changed ones go.

struct LinkedFile {
    QString localPath;
    QString remoteName; // its path from the diary's folder, "img/2026/1208.jpg"
    qint64 size = 0;
};

struct DiaryLinks {
    QList<LinkedFile> files; // in the order the diary links them, each once
    QStringList missing;     // linked names with no file behind them
};

// The files the diary's text links by a relative path (SRC=, HREF=, quoted or not) that stay
// inside the diary's folder. Absolute addresses, anchors, links leading out of the folder and
// the diary itself are left out; names without a file are told as missing.
DiaryLinks linkedFiles(const QString& diaryPath, const QString& text);

// A file as the record of a site keeps it.
struct SentFile {
    qint64 size = 0;
    QDateTime modified;
    QByteArray sha256; // hex
};

// The record of one site's sent files, in the state folder.
class SentFiles {
public:
    // The record of the site (its protocol, user, host, port and folder) in the folder.
    SentFiles(const QString& folder, const SiteAddress& site);

    // The files that are new or changed since they were last sent to the site.
    QList<LinkedFile> changed(const QList<LinkedFile>& files) const;
    // Records the files as sent; false when the record could not be written.
    bool markSent(const QList<LinkedFile>& files);

private:
    QString path_;
};
