#include "publish/SiteAddress.h"

QString remotePath(const SiteAddress& site, const QString& name)
{
    QString folder = site.folder;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    if (folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString secretKey(const SiteAddress& site)
{
    if (site.signIn == SiteAddress::SignIn::KeyFile)
        return QStringLiteral("key:") + site.keyFile;
    const QString scheme = site.protocol == SiteAddress::Protocol::Ftps ? QStringLiteral("ftps")
                                                                        : QStringLiteral("sftp");
    return QStringLiteral("%1://%2@%3:%4").arg(scheme, site.user, site.host).arg(site.port);
}
