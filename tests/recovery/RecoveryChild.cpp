// A writer whose program is killed: starts the program as it runs for the writer, does one of
// these and idles until it is killed:
//   [diary path]   leaves today's entry and a diary unsaved; with a path the diary carries that
//                  file name (opened from the file when there is one); without, it is new;
//   --typing       types a key into the body every 200 ms without ever pausing;
//   --save path    opens the diary, changes it, waits until the change is kept, saves it and
//                  prints "saved";
//   --start        only starts: every message box is printed and answered with its default
//                  button, and the program quits once the window is up.
//
// Usage: recovery_child [mode] [diary path]   (XDG_STATE_HOME names the state folder)

#include "UnsavedWork.h"
#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/ItemComboBox.h"
#include "recovery/RecoveryKeeper.h"
#include "support/TodayControls.h"
#include "support/Typing.h"

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QTimer>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>

namespace {

// Hands the text over as an input method commits it (how an emoji arrives).
void commitText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

TMainForm* mainForm()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TMainForm*>(window))
            return form;
    }
    return nullptr;
}

void leaveWorkUnsaved(const QString& diaryPath)
{
    TMainForm* form = mainForm();
    form->recovery()->setPause(std::chrono::milliseconds(50));
    TodayEntryTab* today = form->todayTab();
    const TodayControls ui(today);
    ui.YearEdit->setText(unsaved::year());
    ui.MonthEdit->setText(unsaved::month());
    ui.DateEdit->setText(unsaved::day());
    typeText(ui.WeatherBox->lineEdit(), unsaved::weather());
    today->setTitle(unsaved::title()); // what the title window does on OK
    typeText(ui.TodayMemo, unsaved::bodyTyped());
    commitText(ui.TodayMemo, unsaved::bodyCommitted());
    replaceEditorSelection(ui.TodayMemo, unsaved::bodyPasted());

    if (QFile::exists(diaryPath)) {
        form->document()->OpenDiaryFile(diaryPath);
    } else {
        form->diaryTab()->NewDiaryBtn->click();
        if (!diaryPath.isEmpty())
            form->document()->SetDiaryFileName(diaryPath);
    }
    QPlainTextEdit* diary = form->diaryTab()->AllMemo;
    replaceEditorSelection(diary, unsaved::diaryPasted());
    typeText(diary, unsaved::diaryTyped());
    commitText(diary, unsaved::diaryCommitted());
}

// A key every 200 ms, for as long as the child lives: the writer never pauses.
void typeWithoutPause()
{
    auto* keys = new QTimer(mainForm());
    QObject::connect(keys, &QTimer::timeout,
                     [] { typeText(mainForm()->todayTab()->bodyEditor(), QStringLiteral("あ")); });
    keys->start(200);
}

// Saves as soon as the change is in the recovery file, and says so on standard output.
void saveOnceKept(const QString& diaryPath)
{
    TMainForm* form = mainForm();
    form->recovery()->setPause(std::chrono::milliseconds(100));
    form->document()->OpenDiaryFile(diaryPath);
    typeText(form->diaryTab()->AllMemo, unsaved::diaryTyped());
    auto* poll = new QTimer(form);
    QObject::connect(poll, &QTimer::timeout, [form, poll] {
        if (!QFile::exists(form->recovery()->ownPath()))
            return;
        poll->stop();
        // From now on only the save itself may bring the recovery file up to date.
        form->recovery()->setPause(std::chrono::hours(1));
        form->recovery()->setLongestWait(std::chrono::hours(1));
        form->diaryTab()->SaveDiaryBtn->click();
        std::fputs("saved\n", stdout);
        std::fflush(stdout);
    });
    poll->start(20);
}

// Prints each message box the program shows and presses its default button.
void answerMessageBoxes()
{
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        std::fputs((box->text() + u'\n').toUtf8().constData(), stdout);
        std::fflush(stdout);
        box->defaultButton()->click();
    });
    poll->start(20);
}

bool startOnly = false;

void startAnswering()
{
    if (startOnly)
        answerMessageBoxes();
}
Q_COREAPP_STARTUP_FUNCTION(startAnswering)

} // namespace

int main(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (mode == u"--typing")
        return runPelmora(argc, argv, StartAs::Alone, typeWithoutPause);
    if (mode == u"--save")
        return runPelmora(argc, argv, StartAs::Alone, [&] { saveOnceKept(path); });
    if (mode == u"--start") {
        startOnly = true;
        return runPelmora(argc, argv, StartAs::Alone,
                          [] { QTimer::singleShot(300, QCoreApplication::quit); });
    }
    return runPelmora(argc, argv, StartAs::Alone, [&] { leaveWorkUnsaved(mode); });
}
