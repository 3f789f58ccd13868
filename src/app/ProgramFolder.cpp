#include "app/ProgramFolder.h"

#include <QDir>

QString programFolderOf(const QString& programFilePath)
{
    return programFilePath.left(programFilePath.lastIndexOf(u'/') + 1);
}

QString workFolderFor(const QString& programFolder, const QString& installedFolder,
                      bool programFolderWritable, const QString& dataHome)
{
    const bool installed = QDir::cleanPath(programFolder) == QDir::cleanPath(installedFolder);
    if (programFolderWritable && !installed)
        return programFolder;
    QString home = QDir::cleanPath(dataHome);
    if (!home.endsWith(u'/'))
        home += u'/';
    return home + QStringLiteral("pelmora/");
}
