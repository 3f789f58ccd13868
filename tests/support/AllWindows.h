#pragma once

#include "app/TExpForm.h"
#include "app/THelpVerForm.h"
#include "app/TPleaseForm.h"
#include "app/Windows.h"
#include "document/THistoryForm.h"
#include "document/TNewProcessForm.h"
#include "entry/TDiaryTitleForm.h"
#include "entry/THtmlForm.h"
#include "entry/TWeatherForm.h"
#include "settings/TAppSetForm.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"

#include <QList>

// The twelve modal windows through their accessors, in the order the table of windows lists them;
// asking makes those not made yet.
inline QList<QDialog*> allWindows(Windows& w)
{
    return {&w.diaryTitle(), &w.link(),   &w.graphic(), &w.newProcess(), &w.html(),   &w.history(),
            &w.exp(),        &w.appSet(), &w.helpVer(), &w.decoration(), &w.please(), &w.weather()};
}
