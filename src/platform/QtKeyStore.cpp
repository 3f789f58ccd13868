#include "platform/QtKeyStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

QtKeyStore::QtKeyStore() = default;
QtKeyStore::~QtKeyStore() = default;

namespace {

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("oribeko"), QStringLiteral("Quillode"));
}

} // namespace

bool QtKeyStore::open()
{
    settings_ = userSettings();
    const QFileInfo file(settings_->fileName());
    return file.isFile() && file.isReadable() && settings_->status() == QSettings::NoError;
}

bool QtKeyStore::openOrCreate()
{
    settings_ = userSettings();
    staged_.clear();
    return QDir().mkpath(QFileInfo(settings_->fileName()).absolutePath());
}

KeyStore::Value QtKeyStore::read(const QString& name)
{
    if (!settings_ || !settings_->contains(name))
        return {Status::Missing, {}};
    const QVariant value = settings_->value(name);
    if (value.typeId() != QMetaType::QString)
        return {Status::WrongKind, {}};
    return {Status::Text, value.toString()};
}

void QtKeyStore::write(const QString& name, const QString& text)
{
    staged_.insert(name, text);
}

bool QtKeyStore::commit()
{
    if (!settings_)
        return false;
    for (auto it = staged_.cbegin(); it != staged_.cend(); ++it)
        settings_->setValue(it.key(), it.value());
    staged_.clear();
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

void QtKeyStore::close()
{
    settings_.reset();
}
