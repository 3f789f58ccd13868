#include "preview/PreviewEngine.h"

#include "platform/ProgramLibraries.h"

#include <QCoreApplication>
#include <QOpenGLContext>

// Qt GUI's setter of the OpenGL context that every other one shares with, the one Qt's own
// modules use; it is exported by the library but declared only in Qt's private headers.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

const QString libraryName = QStringLiteral("libpelmora_preview.so");

// The browser engine needs a context that its own share with the windows' before it starts, or it
// ends the program. Qt would make one at every start when asked before the application is made;
// on an X display loading the OpenGL drivers for it took longer than the rest of the start, so it
// is made here, as the engine is first loaded. It lives as long as the application.
void makeSharedContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    context->create();
    qt_gl_set_global_share_context(context);
    QObject::connect(context, &QObject::destroyed, [] { qt_gl_set_global_share_context(nullptr); });
}

} // namespace

QStringList previewLibraryFiles(const QString& programFolder)
{
    return programLibraryFiles(programFolder, libraryName);
}

MakePageView loadPageViewMaker(const QStringList& files, QString& error)
{
    makeSharedContext();
    return reinterpret_cast<MakePageView>(resolveInLibraries(files, makePageViewName, error));
}
