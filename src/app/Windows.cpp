#include "app/Windows.h"

#include "app/ProgramFolder.h"
#include "app/TExpForm.h"
#include "app/THelpVerForm.h"
#include "app/TMainForm.h"
#include "app/TPleaseForm.h"
#include "document/DiaryFileTab.h"
#include "document/THistoryForm.h"
#include "document/TNewProcessForm.h"
#include "entry/TDiaryTitleForm.h"
#include "entry/THtmlForm.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "platform/SystemInfo.h"
#include "settings/TAppSetForm.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"

namespace {

// The window in the slot, made by `make` when the slot is still empty.
template <typename Form, typename Make> Form& once(Form*& slot, Make make)
{
    if (!slot)
        slot = make();
    return *slot;
}

} // namespace

TDiaryTitleForm& Windows::diaryTitle()
{
    return once(diaryTitle_, [this] {
        TodayEntryTab* today = main_.todayTab();
        return new TDiaryTitleForm(
            main_.state().TodayTitle, [today](const QString& title) { today->setTitle(title); },
            &main_);
    });
}

TLinkForm& Windows::link()
{
    return once(link_, [this] { return new TLinkForm(&main_); });
}

TGraphicForm& Windows::graphic()
{
    return once(graphic_, [this] { return new TGraphicForm(&main_); });
}

TNewProcessForm& Windows::newProcess()
{
    return once(newProcess_, [this] { return new TNewProcessForm(*main_.document(), &main_); });
}

THtmlForm& Windows::html()
{
    return once(html_, [this] {
        return new THtmlForm(main_.state().Html, main_.state().NewProcessFlag, platform_.messages,
                             &main_);
    });
}

THistoryForm& Windows::history()
{
    return once(history_, [this] { return new THistoryForm(*main_.document(), &main_); });
}

TExpForm& Windows::exp()
{
    return once(exp_, [this] {
        return new TExpForm(main_.state().FirstPageChangeFlag, platform_.system, &main_);
    });
}

TAppSetForm& Windows::appSet()
{
    return once(appSet_, [this] {
        return new TAppSetForm(main_.state(), main_.todayTab()->bodyEditor(),
                               main_.diaryTab()->AllMemo, &main_);
    });
}

THelpVerForm& Windows::helpVer()
{
    return once(helpVer_, [this] {
        return new THelpVerForm(programFolderOf(platform_.system.programFilePath()),
                                main_.state().ProgramFolder, platform_.clipboard, platform_.files,
                                &main_);
    });
}

TDecorationForm& Windows::decoration()
{
    return once(decoration_, [this] { return new TDecorationForm(&main_); });
}

TPleaseForm& Windows::please()
{
    return once(please_, [this] {
        return new TPleaseForm(programFolderOf(platform_.system.programFilePath()),
                               platform_.clipboard, platform_.files, &main_);
    });
}

TWeatherForm& Windows::weather()
{
    return once(weather_, [this] {
        TodayEntryTab* today = main_.todayTab();
        return new TWeatherForm(
            main_.state().Html, [today] { return today->entryWithoutBody().weatherText; },
            platform_.messages, platform_.system, &main_);
    });
}
