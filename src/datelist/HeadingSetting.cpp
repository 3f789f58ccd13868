#include "datelist/HeadingSetting.h"

#include "platform/KeyStore.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// One value per diary, named after its path; the path is kept inside the value as well, so the
// file reads plainly.
QString valueName(const QString& diaryPath)
{
    const QByteArray hash =
        QCryptographicHash::hash(diaryPath.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("DateHeading_") + QString::fromLatin1(hash.left(24));
}

} // namespace

QString loadHeadingSample(KeyStore& store, const QString& diaryPath)
{
    if (diaryPath.isEmpty() || !store.open())
        return {};
    const KeyStore::Value value = store.read(valueName(diaryPath));
    store.close();
    const QJsonObject json = QJsonDocument::fromJson(value.text.toUtf8()).object();
    if (value.status != KeyStore::Status::Text || json.value(u"diary").toString() != diaryPath)
        return {};
    return json.value(u"sample").toString();
}

bool saveHeadingSample(KeyStore& store, const QString& diaryPath, const QString& sample)
{
    const QJsonObject json{{QStringLiteral("diary"), diaryPath},
                           {QStringLiteral("sample"), sample}};
    if (!store.openOrCreate())
        return false;
    store.write(valueName(diaryPath),
                QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact)));
    const bool stored = store.commit();
    store.close();
    return stored;
}
