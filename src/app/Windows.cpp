#include "app/Windows.h"

#include "app/TExpForm.h"
#include "app/THelpVerForm.h"
#include "app/TMainForm.h"
#include "app/TPleaseForm.h"
#include "document/DiaryFileTab.h"
#include "document/THistoryForm.h"
#include "document/TNewProcessForm.h"
#include "entry/TDiaryTitleForm.h"
#include "entry/ItemComboBox.h"
#include "entry/THtmlForm.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "settings/TAppSetForm.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"

// The twelve modal windows, in the order the program creates them after the main window.
Windows createWindows(TMainForm* main, const Platform& platform)
{
    Windows w;
    w.DiaryTitleForm =
        new TDiaryTitleForm(main->state().TodayTitle, main->todayTab()->PanelDiaryTitle, main);
    w.LinkForm = new TLinkForm(main);
    w.GraphicForm = new TGraphicForm(main);
    w.NewProcessForm = new TNewProcessForm(main);
    w.HtmlForm = new THtmlForm(main->state().Html, main->state().NewProcessFlag, platform.messages, main);
    w.HistoryForm = new THistoryForm(main);
    w.ExpForm = new TExpForm(main->state().FirstPageChangeFlag, platform.system, main);
    w.AppSetForm = new TAppSetForm(main->state(), main->todayTab()->TodayMemo,
                                   main->diaryTab()->AllMemo, main);
    w.HelpVerForm = new THelpVerForm(main->state().ProgramFolder, platform.clipboard, platform.files, main);
    w.DecorationForm = new TDecorationForm(main);
    w.PleaseForm = new TPleaseForm(main->state().ProgramFolder, platform.clipboard, platform.files, main);
    w.WeatherForm = new TWeatherForm(main->state().Html, main->todayTab()->WeatherBox,
                                     main->diaryTab()->AllMemo, platform.messages, platform.system, main);
    return w;
}

