#pragma once

#include "entry/HtmlSettings.h"

#include <QChar>
#include <QString>

#include <array>

// The working state the main window owns for the whole run. Other windows get the part they
// need by reference; the editors themselves live on the main window.
struct MainState {
    int EditorFontSize = 10;
    QString EditorFontFace;
    QString ExportFileStem;
    QString ProgramFolder; // always ends with the path separator
    QString TodayTitle;
    HtmlSettings Html;
    QString CurrentFileName;
    std::array<QString, 3> RecentFiles; // newest first
    QChar NewProcessFlag = u'T';
    QChar CurrentPage = u'1';
    QChar DocumentLoaded = u'F';
    QChar FirstPageChangeFlag = u'F';
    QString SelectionText;
};
