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
