#include "app/AboutInfo.h"

#include "platform/Files.h"

#include <QSysInfo>

#include <unistd.h>

namespace about {

QString readmePath(Files& files, const QString& programFolder, const QString& docFolder)
{
    const QString name = QStringLiteral("README.md");
    const QString beside = programFolder + name;
    if (files.exists(beside))
        return beside;
    // The folder above: everything up to the separator before the program folder's last one.
    const qsizetype last = programFolder.size() - 1;
    const qsizetype above = last > 0 ? programFolder.lastIndexOf(u'/', last - 1) : -1;
    if (above >= 0) {
        const QString parent = programFolder.left(above + 1) + name;
        if (files.exists(parent))
            return parent;
    }
    const QString installed = docFolder + name;
    if (files.exists(installed))
        return installed;
    return beside;
}

QString guidePath(Files& files, bool installed, const QString& sourceDocFolder,
                  const QString& installedDocFolder)
{
    const QString name = QStringLiteral("guide.md");
    QStringList candidates{installedDocFolder + name};
    if (!installed)
        candidates.prepend(sourceDocFolder + name);
    for (const QString& path : candidates) {
        if (files.exists(path))
            return path;
    }
    return {};
}

QString memoryText(qint64 bytes)
{
    if (bytes <= 0)
        return QStringLiteral("不明");
    QString digits = QString::number(bytes / (1024 * 1024));
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits + QStringLiteral(" MB");
}

QString systemText()
{
    return QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType() + u' '
           + QSysInfo::kernelVersion() + u')';
}

qint64 installedMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return qint64(pages) * qint64(pageSize);
}

} // namespace about
