#include "storage/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QByteArray oldBytes = "old content\r\n";
const QByteArray newBytes = "new content, longer than the old\r\n";

mode_t modeOf(const QString& path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

bool putFile(const QString& path, const QByteArray& bytes, mode_t mode)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
           && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Every writer's file ends as its writer promises, and a replacement that fails leaves the old
// file as it was and nothing beside it.
TEST(WholeFile, AReplacementEndsWithTheContentAndModeItsWriterPromises)
{
    enum class Kind { Plain, OwnerOnly, Refused };
    struct Case {
        const char* name;
        mode_t oldMode; // 0: no file before
        bool throughLink;
        Kind kind;
        bool contentWritten;
        Replaced result;
        QByteArray content;
        mode_t mode;
    };
    const Case cases[] = {
        {"settings behind a link: mode kept", 0640, true, Kind::Plain, true, Replaced::Done,
         newBytes, 0640},
        {"recovery over a readable file: closed", 0644, false, Kind::OwnerOnly, true,
         Replaced::Done, newBytes, 0600},
        {"recovery, first write: closed", 0, false, Kind::OwnerOnly, true, Replaced::Done, newBytes,
         0600},
        {"content cut short: old kept", 0644, false, Kind::OwnerOnly, false, Replaced::Failed,
         oldBytes, 0644},
        {"cannot be prepared: old kept", 0604, false, Kind::Refused, true, Replaced::NotBeside,
         oldBytes, 0604},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("file"));
        const QString path = c.throughLink ? dir.filePath(QStringLiteral("link")) : target;
        if (c.oldMode != 0) {
            ASSERT_TRUE(putFile(target, oldBytes, c.oldMode)) << c.name;
        }
        if (c.throughLink) {
            ASSERT_TRUE(QFile::link(target, path)) << c.name;
        }
        // A writer whose content fails part-way, as a full disk stops it.
        const WriteContent write = [&](QIODevice& device) {
            if (c.contentWritten)
                return contentWriter(newBytes)(device);
            device.write(newBytes.left(4));
            return false;
        };

        Replaced result = Replaced::Failed;
        switch (c.kind) {
        case Kind::Plain: result = replaceFile(path, write); break;
        case Kind::OwnerOnly:
            result = replaceOwnerOnlyFile(path, write, FolderSync::Required) ? Replaced::Done
                                                                             : Replaced::Failed;
            break;
        case Kind::Refused: result = replaceFile(path, write, {[](int) { return false; }}); break;
        }

        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(readWholeFile(target), c.content) << c.name;
        EXPECT_EQ(modeOf(target), c.mode) << c.name;
        EXPECT_EQ(QFileInfo(path).isSymLink(), c.throughLink) << c.name;
        const QStringList expected =
            c.throughLink ? QStringList{QStringLiteral("file"), QStringLiteral("link")}
                          : QStringList{QStringLiteral("file")};
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System), expected) << c.name;
    }
}

TEST(WholeFile, AFileIsReadWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty"));
    const QString full = dir.filePath(QStringLiteral("full"));
    ASSERT_TRUE(putFile(empty, {}, 0600));
    ASSERT_TRUE(putFile(full, QByteArray("\x82\xa0\0\r\n", 5), 0600));
    const std::pair<QString, std::optional<QByteArray>> cases[] = {
        {empty, QByteArray()},
        {full, QByteArray("\x82\xa0\0\r\n", 5)},
        {dir.filePath(QStringLiteral("missing")), std::nullopt},
        {dir.path(), std::nullopt},
    };
    for (const auto& [path, bytes] : cases)
        EXPECT_EQ(readWholeFile(path), bytes) << path.toStdString();
}

} // namespace
