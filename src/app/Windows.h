#pragma once

#include "platform/Platform.h"

class TMainForm;

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

// The program's twelve modal windows. Each is made the first time it is asked for, as a child
// of the main window, and the same window, with the values of its controls, comes back every
// time after that until the program ends.
class Windows {
public:
    Windows(TMainForm& main, Platform platform) : main_(main), platform_(platform) {}
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

private:
    TMainForm& main_;
    Platform platform_;
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
