#include "platform/ProgramLibraries.h"

#include "platform/InstallDirs.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

QString canonicalFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? folder : canonical);
}

} // namespace

QStringList programLibraryFiles(const QString& programFolder, const QString& fileName)
{
    if (canonicalFolder(programFolder) == canonicalFolder(installedProgramFolder()))
        return {installedLibraryFolder() + fileName};
    QString own = programFolder;
    if (!own.endsWith(u'/'))
        own += u'/';
    return {own + fileName, builtLibraryFolder() + fileName};
}

QFunctionPointer resolveInLibraries(const QStringList& files, const char* symbol, QString& error)
{
    QStringList reasons;
    for (const QString& file : files) {
        QLibrary library(file);
        if (const QFunctionPointer function = library.resolve(symbol))
            return function;
        reasons << library.errorString();
    }
    error = reasons.join(u'\n');
    return nullptr;
}
