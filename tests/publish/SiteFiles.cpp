#include "SiteFiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

QByteArray shiftJisDiary(int repeats)
{
    const QByteArray line = "<p>\x93\xfa\x8b\x4c \x83\x5c\x83\x74\x83\x67 \x81\x60</p>\r\n";
    return "<html>\r\n" + line.repeated(repeats) + "</html>\r\n";
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QStringList remoteFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
