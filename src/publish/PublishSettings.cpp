#include "publish/PublishSettings.h"

#include "platform/DiaryValue.h"

#include <QFileInfo>

namespace {

const QString valuePrefix = QStringLiteral("Publish");

const char* protocolName(SiteAddress::Protocol protocol)
{
    return protocol == SiteAddress::Protocol::Ftps ? "ftps" : "sftp";
}

const char* signInName(SiteAddress::SignIn signIn)
{
    switch (signIn) {
    case SiteAddress::SignIn::Agent: return "agent";
    case SiteAddress::SignIn::KeyFile: return "keyfile";
    case SiteAddress::SignIn::Password: break;
    }
    return "password";
}

SiteAddress::SignIn signInOf(const QString& name)
{
    if (name == u"agent")
        return SiteAddress::SignIn::Agent;
    return name == u"keyfile" ? SiteAddress::SignIn::KeyFile : SiteAddress::SignIn::Password;
}

} // namespace

PublishSettings loadPublishSettings(KeyStore& store, const QString& diaryPath)
{
    PublishSettings settings;
    settings.site.fileName = QFileInfo(diaryPath).fileName();
    const QJsonObject json = readDiaryValue(store, valuePrefix, diaryPath);
    if (json.isEmpty())
        return settings;
    SiteAddress& site = settings.site;
    site.protocol = json.value(u"protocol").toString() == u"ftps" ? SiteAddress::Protocol::Ftps
                                                                  : SiteAddress::Protocol::Sftp;
    site.host = json.value(u"host").toString();
    site.port = json.value(u"port").toInt(22);
    site.user = json.value(u"user").toString();
    site.folder = json.value(u"folder").toString();
    site.fileName = json.value(u"file").toString(site.fileName);
    site.signIn = signInOf(json.value(u"signIn").toString());
    site.keyFile = json.value(u"keyFile").toString();
    settings.sendAfterSave = json.value(u"sendAfterSave").toBool();
    return settings;
}

bool savePublishSettings(KeyStore& store, const QString& diaryPath, const PublishSettings& settings)
{
    const SiteAddress& site = settings.site;
    const QJsonObject json{
        {QStringLiteral("protocol"), QLatin1String(protocolName(site.protocol))},
        {QStringLiteral("host"), site.host},
        {QStringLiteral("port"), site.port},
        {QStringLiteral("user"), site.user},
        {QStringLiteral("folder"), site.folder},
        {QStringLiteral("file"), site.fileName},
        {QStringLiteral("signIn"), QLatin1String(signInName(site.signIn))},
        {QStringLiteral("keyFile"), site.keyFile},
        {QStringLiteral("sendAfterSave"), settings.sendAfterSave},
    };
    return writeDiaryValue(store, valuePrefix, diaryPath, json);
}
