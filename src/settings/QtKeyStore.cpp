#include "settings/QtKeyStore.h"

#include "core/AppInfo.h"
#include "storage/WholeFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <utility>

QtKeyStore::QtKeyStore() : QtKeyStore(defaultFilePath()) {}

QtKeyStore::QtKeyStore(QString filePath) : path_(std::move(filePath)) {}

QtKeyStore::~QtKeyStore() = default;

QString QtKeyStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
           + settingsOrganization() + u'/' + settingsApplication() + QStringLiteral(".conf");
}

namespace {

// What the file holds, empty when there is none; nothing when it is there but cannot be read,
// or is no regular file (a folder, a named pipe that would keep the read waiting).
std::optional<QByteArray> fileBytes(const QString& path)
{
    if (!QFile::exists(path))
        return QByteArray();
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return readWholeFile(path);
}

} // namespace

bool QtKeyStore::open()
{
    close();
    if (!QFileInfo(path_).isFile())
        return false;
    const std::optional<QByteArray> bytes = fileBytes(path_);
    if (!bytes || bytes->isEmpty())
        return false;
    file_ = IniFile::parse(*bytes);
    return true;
}

bool QtKeyStore::openOrCreate()
{
    close();
    writable_ = QDir().mkpath(QFileInfo(path_).absolutePath());
    return writable_;
}

KeyStore::Value QtKeyStore::read(const QString& name)
{
    return file_ ? file_->value(name) : Value{};
}

void QtKeyStore::write(const QString& name, const QString& text)
{
    for (auto& staged : staged_) {
        if (staged.first == name) {
            staged.second = text;
            return;
        }
    }
    staged_.append({name, text});
}

bool QtKeyStore::commit()
{
    if (!writable_)
        return false;
    // Only a file read whole is written over, and then with every line of it kept.
    const std::optional<QByteArray> old = fileBytes(path_);
    if (!old)
        return false;
    IniFile ini = IniFile::parse(*old);
    for (const auto& [name, text] : staged_)
        ini.setValue(name, text);
    const QByteArray bytes = ini.bytes();
    // Nothing changed, nothing to write: most closes leave every setting as it was, and a
    // rewrite costs two waits for the disk as the program ends.
    if (bytes == *old && QFileInfo::exists(path_)) {
        staged_.clear();
        return true;
    }

    // Written beside the file and renamed over it (over a symbolic link's target), with the old
    // file's permissions, once the new file is complete and on the disk.
    if (replaceFile(path_, contentWriter(bytes)) != Replaced::Done)
        return false;
    staged_.clear();
    return true;
}

void QtKeyStore::close()
{
    file_.reset();
    writable_ = false;
    staged_.clear();
}
