#pragma once

class TMainForm;
struct Platform;

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

// The program's modal windows, created once at start after the main window, in this order.
struct Windows {
    TDiaryTitleForm* DiaryTitleForm = nullptr;
    TLinkForm* LinkForm = nullptr;
    TGraphicForm* GraphicForm = nullptr;
    TNewProcessForm* NewProcessForm = nullptr;
    THtmlForm* HtmlForm = nullptr;
    THistoryForm* HistoryForm = nullptr;
    TExpForm* ExpForm = nullptr;
    TAppSetForm* AppSetForm = nullptr;
    THelpVerForm* HelpVerForm = nullptr;
    TDecorationForm* DecorationForm = nullptr;
    TPleaseForm* PleaseForm = nullptr;
    TWeatherForm* WeatherForm = nullptr;
};

// Creates the twelve windows, owned by the main window.
Windows createWindows(TMainForm* main, const Platform& platform);
