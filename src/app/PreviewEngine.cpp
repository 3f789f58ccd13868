#include "app/PreviewEngine.h"

#include "app/InstallDirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

const QString libraryName = QStringLiteral("libpelmora_preview.so");

QString canonicalFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? folder : canonical);
}

} // namespace

void prepareForPreview()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QStringList previewLibraryFiles(const QString& programFolder)
{
    if (canonicalFolder(programFolder) == canonicalFolder(installedProgramFolder()))
        return {installedPreviewFolder() + libraryName};
    QString own = programFolder;
    if (!own.endsWith(u'/'))
        own += u'/';
    return {own + libraryName, builtPreviewFolder() + libraryName};
}

MakePageView loadPageViewMaker(const QStringList& files, QString& error)
{
    QStringList reasons;
    for (const QString& file : files) {
        QLibrary library(file);
        auto make = reinterpret_cast<MakePageView>(library.resolve(makePageViewName));
        if (make)
            return make; // a library is never unloaded: the panes it made stay
        reasons << library.errorString();
    }
    error = reasons.join(u'\n');
    return nullptr;
}
