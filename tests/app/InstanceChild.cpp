// The program as the writer starts it, telling on standard output what happens to it: "ready"
// once its window is shown, "opened <path>" when a diary file has been opened in it (one named at
// start or handed over by a later start), "message <caption>|<text>" for each message box, which
// it then closes with its default button, and "dialog <name>" for any other modal window, which
// it cancels. With PELMORA_BUSY_MS set, the window is busy that long right after it is shown
// ("busy" first), its event loop held up as by opening a huge diary.
//
// Usage: instance_child [diary path]   (XDG_RUNTIME_DIR names the folder of the instance socket)

#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "core/MainState.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void closeModalWindows()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        say(QStringLiteral("message %1|%2").arg(box->windowTitle(), box->text()));
        box->defaultButton()->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        say(QStringLiteral("dialog %1").arg(dialog->objectName()));
        dialog->reject();
    }
}

void watchModalWindows()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, &closeModalWindows);
    timer->start(20);
}

TMainForm* mainForm()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TMainForm*>(window))
            return form;
    }
    return nullptr;
}

void reportOpenedFiles()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [opened = QString()]() mutable {
        const QString current = mainForm()->state().CurrentFileName;
        if (current != opened)
            say(QStringLiteral("opened %1").arg(current));
        opened = current;
    });
    timer->start(20);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchModalWindows)

int main(int argc, char** argv)
{
    const int busyMs = qEnvironmentVariableIntValue("PELMORA_BUSY_MS");
    return runPelmora(argc, argv, StartAs::Writer, [busyMs] {
        say(QStringLiteral("ready"));
        reportOpenedFiles();
        if (busyMs > 0) {
            say(QStringLiteral("busy"));
            std::this_thread::sleep_for(std::chrono::milliseconds(busyMs));
        }
    });
}
