#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// What tells one version of a file from another: its modification time and size, and the
// device that holds it (a removable disk unmounted leaves its mount point on another).
struct FileStamp {
    QDateTime modified;
    qint64 size = 0;
    quint64 device = 0;
    bool operator==(const FileStamp&) const = default;
};

class Files {
public:
    virtual ~Files() = default;
    // The whole content, or nothing when the file cannot be opened or read.
    virtual std::optional<QByteArray> readAll(const QString& path) = 0;
    // Replaces the file whole or leaves it as it was; false when the write failed.
    virtual bool writeAll(const QString& path, const QByteArray& bytes) = 0;
    // True for a regular file (or a link to one); false for a folder, a pipe or a device.
    virtual bool exists(const QString& path) = 0;
    // The stamp of the regular file at path; nothing when there is none.
    virtual std::optional<FileStamp> stamp(const QString& path) = 0;
    // True when the folder that holds (or would hold) the file at path exists.
    virtual bool folderExists(const QString& path) = 0;
    // True when the file (or, for a file not yet there, its folder) may be written.
    virtual bool isWritable(const QString& path) = 0;
    virtual bool remove(const QString& path) = 0;
    // Makes a new file that only the writer may read, with the bytes; false when anything (a
    // file, a link) is already at path or the write failed. Nothing at path is ever followed.
    virtual bool writeNew(const QString& path, const QByteArray& bytes)
    {
        return !exists(path) && writeAll(path, bytes);
    }
    // The whole content of a file the program made for itself; nothing unless it is the
    // writer's own (a regular file, no link followed, no one else may use it).
    virtual std::optional<QByteArray> readOwn(const QString& path) { return readAll(path); }
};
