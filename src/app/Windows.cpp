#include "app/Windows.h"

#include "app/ProgramFolder.h"
#include "app/TExpForm.h"
#include "app/THelpVerForm.h"
#include "app/TPleaseForm.h"
#include "core/MainState.h"
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
        TodayEntryTab* today = needs_.today;
        return new TDiaryTitleForm(
            needs_.state.TodayTitle, [today](const QString& title) { today->setTitle(title); },
            needs_.parent);
    });
}

TLinkForm& Windows::link()
{
    return once(link_, [this] { return new TLinkForm(needs_.parent); });
}

TGraphicForm& Windows::graphic()
{
    return once(graphic_, [this] { return new TGraphicForm(needs_.parent); });
}

TNewProcessForm& Windows::newProcess()
{
    return once(newProcess_,
                [this] { return new TNewProcessForm(needs_.document, needs_.parent); });
}

THtmlForm& Windows::html()
{
    return once(html_, [this] {
        return new THtmlForm(needs_.state.Html, needs_.state.NewProcessFlag,
                             needs_.platform.messages, needs_.parent);
    });
}

THistoryForm& Windows::history()
{
    return once(history_, [this] { return new THistoryForm(needs_.document, needs_.parent); });
}

TExpForm& Windows::exp()
{
    return once(exp_, [this] {
        return new TExpForm(needs_.state.FirstPageChangeFlag, needs_.platform.system,
                            needs_.parent);
    });
}

TAppSetForm& Windows::appSet()
{
    return once(appSet_, [this] {
        return new TAppSetForm(needs_.state, needs_.today->bodyEditor(), needs_.diary->AllMemo,
                               needs_.parent);
    });
}

THelpVerForm& Windows::helpVer()
{
    return once(helpVer_, [this] {
        return new THelpVerForm(programFolderOf(needs_.platform.system.programFilePath()),
                                needs_.state.ProgramFolder, needs_.platform.clipboard,
                                needs_.platform.files, needs_.parent);
    });
}

TDecorationForm& Windows::decoration()
{
    return once(decoration_, [this] { return new TDecorationForm(needs_.parent); });
}

TPleaseForm& Windows::please()
{
    return once(please_, [this] {
        return new TPleaseForm(programFolderOf(needs_.platform.system.programFilePath()),
                               needs_.platform.clipboard, needs_.platform.files, needs_.parent);
    });
}

TWeatherForm& Windows::weather()
{
    return once(weather_, [this] {
        TodayEntryTab* today = needs_.today;
        return new TWeatherForm(
            needs_.state.Html, [today] { return today->entryWithoutBody().weatherText; },
            needs_.platform.messages, needs_.platform.system, needs_.parent);
    });
}

EntryWindows Windows::entryWindows()
{
    return {[this]() -> TDiaryTitleForm& { return diaryTitle(); },
            [this]() -> THtmlForm& { return html(); },
            [this]() -> TWeatherForm& { return weather(); }};
}

TagWindows Windows::tagWindows()
{
    return {[this]() -> TLinkForm& { return link(); },
            [this]() -> TGraphicForm& { return graphic(); },
            [this]() -> TDecorationForm& { return decoration(); }};
}
