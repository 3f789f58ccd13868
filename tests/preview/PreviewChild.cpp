// The program as it starts, opening the preview as the writer does (its menu item) once the
// main window is shown, then telling on standard output "shown <text>" with the text the entry
// pane's engine shows, or "message <text>" for a message box instead, and ending. With
// PREVIEW_MAIN_AT="x,y,width,height" the main window is put there first, and the frames of the
// main window and the preview are told as "placed x,y,width,height x,y,width,height" before the
// rest. With PREVIEW_TELL_OPENGL set, "opengl driver loaded" or "opengl driver none" comes first,
// told once the main window is shown and before the preview is opened.
//
// Usage: preview_child

#include "app/PelmoraApplication.h"
#include "preview/PageView.h"
#include "preview/PreviewWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void putMainWindow(QWidget* main)
{
    const QStringList at = qEnvironmentVariable("PREVIEW_MAIN_AT").split(u',');
    if (at.size() == 4)
        main->setGeometry(at[0].toInt(), at[1].toInt(), at[2].toInt(), at[3].toInt());
}

// Whether an OpenGL driver (the vendor's GLX library) is loaded in this process.
bool openGlDriverLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libGLX_");
}

void openPreview(QWidget* main)
{
    if (qEnvironmentVariableIsSet("PREVIEW_TELL_OPENGL"))
        say(QStringLiteral("opengl driver ")
            + (openGlDriverLoaded() ? QStringLiteral("loaded") : QStringLiteral("none")));
    main->findChild<QAction*>(QStringLiteral("ViewPreview"))->trigger();
}

QWidget* mainWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->findChild<QAction*>(QStringLiteral("ViewPreview")))
            return window;
    }
    return nullptr;
}

// Asks the entry pane for its text until it has one; a message box ends the wait too.
void tellWhenShown(PreviewWindow* preview)
{
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        say(QStringLiteral("message ") + box->text());
        box->close();
        QCoreApplication::exit(0);
        return;
    }
    if (!preview->entryView()) {
        QTimer::singleShot(50, [preview] { tellWhenShown(preview); });
        return;
    }
    if (qEnvironmentVariableIsSet("PREVIEW_MAIN_AT"))
        say(QStringLiteral("placed ") + rectText(preview->parentWidget()->frameGeometry()) + u' '
            + rectText(preview->frameGeometry()));
    preview->entryView()->runScript(
        QStringLiteral("document.body ? document.body.innerText : ''"),
        [preview](const QVariant& text) {
            if (text.toString().isEmpty()) {
                QTimer::singleShot(50, [preview] { tellWhenShown(preview); });
                return;
            }
            say(QStringLiteral("shown ") + text.toString().simplified());
            QCoreApplication::exit(0);
        });
}

} // namespace

int main(int argc, char** argv)
{
    return runPelmora(argc, argv, StartAs::Alone, [] {
        QWidget* main = mainWindow();
        putMainWindow(main);
        QTimer::singleShot(0, main, [main] { openPreview(main); });
        auto* preview = main->findChild<PreviewWindow*>();
        QTimer::singleShot(50, [preview] { tellWhenShown(preview); });
    });
}
