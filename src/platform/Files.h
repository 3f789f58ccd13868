#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class Files {
public:
    virtual ~Files() = default;
    // The whole content, or nothing when the file cannot be opened or read.
    virtual std::optional<QByteArray> readAll(const QString& path) = 0;
    // Replaces the file whole or leaves it as it was; false when the write failed.
    virtual bool writeAll(const QString& path, const QByteArray& bytes) = 0;
    virtual bool exists(const QString& path) = 0;
    // True when the file (or, for a file not yet there, its folder) may be written.
    virtual bool isWritable(const QString& path) = 0;
    virtual bool remove(const QString& path) = 0;
};
