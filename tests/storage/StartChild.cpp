// The program as the writer starts it, for tests of what happens at start and on a save.
// Every message box it shows is written to standard output and answered with its default
// button; the program ends once its work is done.
//
// Usage: start_child                  start, then end
//        start_child save <diary>     open the diary, change it, press Save, then end
//        start_child write <file> <state folder> <size>
//                                     only write <size> bytes over the file as a save does;
//                                     exit code 0 when written, 1 when the write failed
// XDG_STATE_HOME names the state folder.

#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "storage/SafeWrite.h"
#include "support/Typing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

bool workDone = false;

TMainForm* mainForm()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TMainForm*>(window))
            return form;
    }
    return nullptr;
}

// Writes the box out as "MESSAGE <icon>", its text and "END", and presses its default button.
void answerBox(QMessageBox* box)
{
    std::printf("MESSAGE %d\n%s\nEND\n", int(box->icon()), box->text().toUtf8().constData());
    std::fflush(stdout);
    if (QAbstractButton* button = box->defaultButton())
        button->click();
    else
        box->accept();
}

void watchMessages()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            answerBox(box);
        else if (workDone && !QApplication::activeModalWidget())
            QCoreApplication::exit(0); // without the close question quit() would ask
    });
    timer->start(20);
}

Q_COREAPP_STARTUP_FUNCTION(watchMessages)

// A save that fails throws; the program's error handler shows it while the button's click is
// handled, as it does for the writer.
void changeAndSave(const QString& path)
{
    workDone = true;
    TMainForm* form = mainForm();
    if (!form->document()->OpenDiaryFile(path))
        return;
    typeText(form->diaryTab()->AllMemo, QStringLiteral("x"));
    form->diaryTab()->SaveDiaryBtn->click();
}

} // namespace

int main(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == u"write" && argc == 5) {
        const QByteArray bytes(QByteArray(argv[4]).toLongLong(), 'n');
        return writeFileSafely(QString::fromLocal8Bit(argv[2]), bytes,
                               QString::fromLocal8Bit(argv[3]))
                   ? 0
                   : 1;
    }
    const QString diary = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    return runPelmora(argc, argv, StartAs::Alone, [&] {
        if (mode == u"save")
            QTimer::singleShot(0, [&] { changeAndSave(diary); });
        else
            workDone = true;
    });
}
