#include "app/ProgramFolder.h"

#include "platform/InstallDirs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

namespace {

// The folder an installed program file goes into, as the file system names it (/bin may be a
// link to /usr/bin), like the program's own path.
QString installedFolder()
{
    const QString folder = installedProgramFolder();
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? folder : canonical;
}

} // namespace

QString workFolderOf(const QString& programFilePath)
{
    const QString own = programFolderOf(programFilePath);
    return workFolderFor(own, installedFolder(), QFileInfo(own).isWritable(),
                         QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}
