// Pelmora as it starts for the writer, quitting once its main window has first painted.
#include "QuitOnFirstPaint.h"
#include "app/PelmoraApplication.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    return runPelmora(argc, argv, StartAs::Writer, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMainWindow*>(window) && window->isVisible())
                new QuitOnFirstPaint(window);
        }
    });
}
