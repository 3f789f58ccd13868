// A writer whose program is killed: starts the program as it runs for the writer, leaves
// today's entry and a diary unsaved, and idles until it is killed. With a path as its argument
// the diary carries that file name; without, it is a new document.
//
// Usage: recovery_child [diary path]   (XDG_STATE_HOME names the state folder)

#include "UnsavedWork.h"
#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/ItemComboBox.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "recovery/RecoveryKeeper.h"
#include "support/Typing.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

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
    today->YearEdit->setText(unsaved::year());
    today->MonthEdit->setText(unsaved::month());
    today->DateEdit->setText(unsaved::day());
    typeText(today->WeatherBox->lineEdit(), unsaved::weather());
    // What the title window does on OK.
    form->state().TodayTitle = unsaved::title();
    today->PanelDiaryTitle->setText(unsaved::titleCaption());
    today->PanelDiaryTitle->show();
    typeText(today->TodayMemo, unsaved::bodyTyped());
    commitText(today->TodayMemo, unsaved::bodyCommitted());
    replaceEditorSelection(today->TodayMemo, unsaved::bodyPasted());

    form->diaryTab()->NewDiaryBtn->click();
    if (!diaryPath.isEmpty())
        form->document()->SetDiaryFileName(diaryPath);
    QPlainTextEdit* diary = form->diaryTab()->AllMemo;
    replaceEditorSelection(diary, unsaved::diaryPasted());
    typeText(diary, unsaved::diaryTyped());
    commitText(diary, unsaved::diaryCommitted());
}

} // namespace

int main(int argc, char** argv)
{
    const QString diaryPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    return runPelmora(argc, argv, StartAs::Alone, [&] { leaveWorkUnsaved(diaryPath); });
}
