#include "platform/DiaryValue.h"

#include "platform/KeyStore.h"

#include <QCryptographicHash>
#include <QJsonDocument>

namespace {

QString valueName(const QString& prefix, const QString& diaryPath)
{
    const QByteArray hash =
        QCryptographicHash::hash(diaryPath.toUtf8(), QCryptographicHash::Sha256).toHex();
    return prefix + u'_' + QString::fromLatin1(hash.left(24));
}

} // namespace

QJsonObject readDiaryValue(KeyStore& store, const QString& prefix, const QString& diaryPath)
{
    if (diaryPath.isEmpty() || !store.open())
        return {};
    const KeyStore::Value value = store.read(valueName(prefix, diaryPath));
    store.close();
    const QJsonObject fields = QJsonDocument::fromJson(value.text.toUtf8()).object();
    if (value.status != KeyStore::Status::Text || fields.value(u"diary").toString() != diaryPath)
        return {};
    return fields;
}

bool writeDiaryValue(KeyStore& store, const QString& prefix, const QString& diaryPath,
                     QJsonObject fields)
{
    fields.insert(QStringLiteral("diary"), diaryPath);
    if (!store.openOrCreate())
        return false;
    store.write(valueName(prefix, diaryPath),
                QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Compact)));
    const bool stored = store.commit();
    store.close();
    return stored;
}
