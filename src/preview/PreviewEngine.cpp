#include "preview/PreviewEngine.h"

#include "platform/ProgramLibraries.h"

#include <QCoreApplication>

namespace {

const QString libraryName = QStringLiteral("libpelmora_preview.so");

} // namespace

void prepareForPreview()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QStringList previewLibraryFiles(const QString& programFolder)
{
    return programLibraryFiles(programFolder, libraryName);
}

MakePageView loadPageViewMaker(const QStringList& files, QString& error)
{
    return reinterpret_cast<MakePageView>(resolveInLibraries(files, makePageViewName, error));
}
