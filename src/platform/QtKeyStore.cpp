#include "platform/QtKeyStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>

#include <cstdio>
#include <utility>

QtKeyStore::QtKeyStore() : QtKeyStore(defaultFilePath()) {}

QtKeyStore::QtKeyStore(QString filePath) : path_(std::move(filePath)) {}

QtKeyStore::~QtKeyStore() = default;

QString QtKeyStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/oribeko/Quillode.conf");
}

bool QtKeyStore::open()
{
    close();
    const QFileInfo file(path_);
    if (!file.isFile() || !file.isReadable() || file.size() == 0)
        return false;
    auto settings = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    if (settings->status() != QSettings::NoError)
        return false;
    settings_ = std::move(settings);
    return true;
}

bool QtKeyStore::openOrCreate()
{
    close();
    writable_ = QDir().mkpath(QFileInfo(path_).absolutePath());
    return writable_;
}

namespace {

// QSettings hands back an empty list or binary value, or an invalid variant for "@Invalid()",
// for values that hold nothing.
bool isEmptyOfAnyKind(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::QByteArray:
        return value.toByteArray().isEmpty();
    case QMetaType::QStringList:
        return value.toStringList().isEmpty();
    case QMetaType::QVariantList:
        return value.toList().isEmpty();
    default:
        return false;
    }
}

} // namespace

KeyStore::Value QtKeyStore::read(const QString& name)
{
    if (!settings_ || !settings_->contains(name))
        return {Status::Missing, {}};
    const QVariant value = settings_->value(name);
    if (value.typeId() == QMetaType::QString)
        return {Status::Text, value.toString()};
    if (isEmptyOfAnyKind(value))
        return {Status::Text, {}};
    return {Status::WrongKind, {}};
}

void QtKeyStore::write(const QString& name, const QString& text)
{
    staged_.insert(name, text);
}

bool QtKeyStore::commit()
{
    if (!writable_)
        return false;
    // A store kept behind a symbolic link stays there: the link's target is replaced.
    const QFileInfo info(path_);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path_;
    // A fresh file of a name of its own: QSettings neither merges in what the old file held
    // (junk included) nor reports an error of reading that file in place of one of writing.
    QTemporaryFile fresh(target + QStringLiteral(".XXXXXX"));
    if (!fresh.open())
        return false;
    fresh.close();
    {
        QSettings settings(fresh.fileName(), QSettings::IniFormat);
        for (auto it = staged_.cbegin(); it != staged_.cend(); ++it)
            settings.setValue(it.key(), it.value());
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
    }
    // rename() replaces the old file in one step; QFile::rename refuses to replace.
    if (std::rename(QFile::encodeName(fresh.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    fresh.setAutoRemove(false);
    staged_.clear();
    return true;
}

void QtKeyStore::close()
{
    settings_.reset();
    writable_ = false;
    staged_.clear();
}
