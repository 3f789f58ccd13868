#pragma once

#include "entry/EntryCommands.h"
#include "platform/Platform.h"
#include "tags/TagCommands.h"

class DiaryDocument;
class DiaryFileTab;
class QWidget;
class TodayEntryTab;
struct MainState;

class TDiaryTitleForm;
class TLinkForm;
class TGraphicForm;
class TNewProcessForm;
class THtmlForm;
class THistoryForm;
class TExpForm;
class TAppSetForm;
class THelpVerForm;
class TDecorationForm;
class TPleaseForm;
class TWeatherForm;

// What the modal windows are made with: the window they belong to, and the parts of it they read
// and write.
struct WindowNeeds {
    QWidget* parent;
    MainState& state;
    TodayEntryTab* today;
    DiaryFileTab* diary;
    DiaryDocument& document;
    Platform platform;
};

// The program's twelve modal windows. Each is made the first time it is asked for, as a child
// of the parent it is given, and the same window, with the values of its controls, comes back
// every time after that until the program ends.
class Windows {
public:
    explicit Windows(WindowNeeds needs) : needs_(needs) {}
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    TDiaryTitleForm& diaryTitle();
    TLinkForm& link();
    TGraphicForm& graphic();
    TNewProcessForm& newProcess();
    THtmlForm& html();
    THistoryForm& history();
    TExpForm& exp();
    TAppSetForm& appSet();
    THelpVerForm& helpVer();
    TDecorationForm& decoration();
    TPleaseForm& please();
    TWeatherForm& weather();

    // The windows of the entry's and of the tag commands, each still made when first asked for.
    EntryWindows entryWindows();
    TagWindows tagWindows();

private:
    WindowNeeds needs_;
    TDiaryTitleForm* diaryTitle_ = nullptr;
    TLinkForm* link_ = nullptr;
    TGraphicForm* graphic_ = nullptr;
    TNewProcessForm* newProcess_ = nullptr;
    THtmlForm* html_ = nullptr;
    THistoryForm* history_ = nullptr;
    TExpForm* exp_ = nullptr;
    TAppSetForm* appSet_ = nullptr;
    THelpVerForm* helpVer_ = nullptr;
    TDecorationForm* decoration_ = nullptr;
    TPleaseForm* please_ = nullptr;
    TWeatherForm* weather_ = nullptr;
};
