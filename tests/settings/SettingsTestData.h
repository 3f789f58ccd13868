#pragma once

#include "core/MainState.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// The twenty stored values in their fixed order.
inline const QStringList& settingNames()
{
    static const QStringList names{
        "HtmlDate1",    "HtmlDate2",    "HtmlSky1",     "HtmlSky2",       "HtmlSky3",
        "HtmlSky5",     "HtmlSky6",     "HtmlSky4",     "HtmlMain1",      "HtmlMain2",
        "HtmlTitle1",   "HtmlTitle2",   "LoadLog",      "LoadLog1",       "LoadLog2",
        "EditFontSize", "EditFontFace", "HtmlSetFlags", "NewProcessFlag", "FirstPageChangeFlag"};
    return names;
}

// The two flags as the store spells them; the explanation window shown in this run is "2".
inline QString newProcessText(bool flag)
{
    return flag ? QStringLiteral("T") : QStringLiteral("F");
}

inline QString firstPageChangeText(FirstPageChange flag)
{
    switch (flag) {
    case FirstPageChange::ShowAtSwitch: return QStringLiteral("F");
    case FirstPageChange::ShownThisRun: return QStringLiteral("2");
    case FirstPageChange::Never: return QStringLiteral("T");
    }
    return {};
}

// The state's side of each stored value, in the same order, as text (readable in failures).
inline std::vector<std::string> storedFields(const MainState& state)
{
    const HtmlSettings& html = state.Html;
    const QStringList fields{html.HtmlDate1,
                             html.HtmlDate2,
                             html.HtmlSky1,
                             html.HtmlSky2,
                             html.HtmlSky3,
                             html.HtmlSky5,
                             html.HtmlSky6,
                             html.HtmlSky4,
                             html.HtmlMain1,
                             html.HtmlMain2,
                             html.HtmlTitle1,
                             html.HtmlTitle2,
                             state.RecentFiles[0],
                             state.RecentFiles[1],
                             state.RecentFiles[2],
                             QString::number(state.EditorFontSize),
                             state.EditorFontFace,
                             html.HtmlSetFlags.text(),
                             newProcessText(state.NewProcessFlag),
                             firstPageChangeText(state.FirstPageChangeFlag)};
    std::vector<std::string> result;
    for (const QString& field : fields)
        result.push_back(field.toStdString());
    return result;
}

// The state as the main window has it when the store is loaded: stand-ins for the default
// fragments, everything else as the state starts.
inline MainState startState()
{
    MainState state;
    HtmlSettings& html = state.Html;
    int n = 0;
    for (QString* fragment : {&html.HtmlDate1, &html.HtmlDate2, &html.HtmlSky1, &html.HtmlSky2,
                              &html.HtmlSky3, &html.HtmlSky5, &html.HtmlSky6, &html.HtmlSky4,
                              &html.HtmlMain1, &html.HtmlMain2, &html.HtmlTitle1, &html.HtmlTitle2})
        *fragment = QStringLiteral("default %1").arg(++n);
    return state;
}

// Twenty texts a store may hold, each reading into the state as itself; the fragments name
// their own value so a value read into the wrong field shows.
inline QStringList sampleTexts()
{
    QStringList texts;
    for (int i = 0; i < 12; ++i)
        texts << QStringLiteral("<font color=\"#%1\">").arg(settingNames()[i]);
    texts << "/home/u/日記.html"
          << "/home/u/old.html"
          << ""
          << "12"
          << "IPAexゴシック"
          << "01010"
          << "F"
          << "T";
    return texts;
}

inline std::vector<std::string> toStd(const QStringList& texts)
{
    std::vector<std::string> result;
    for (const QString& text : texts)
        result.push_back(text.toStdString());
    return result;
}

// Sets the state's side of each stored value from texts in the order of settingNames().
inline void setFields(MainState& state, const QStringList& texts)
{
    HtmlSettings& html = state.Html;
    QString* const fragments[] = {&html.HtmlDate1, &html.HtmlDate2,  &html.HtmlSky1,
                                  &html.HtmlSky2,  &html.HtmlSky3,   &html.HtmlSky5,
                                  &html.HtmlSky6,  &html.HtmlSky4,   &html.HtmlMain1,
                                  &html.HtmlMain2, &html.HtmlTitle1, &html.HtmlTitle2};
    for (int i = 0; i < 12; ++i)
        *fragments[i] = texts[i];
    for (int i = 0; i < 3; ++i)
        state.RecentFiles[i] = texts[12 + i];
    state.EditorFontSize = texts[15].toInt();
    state.EditorFontFace = texts[16];
    html.HtmlSetFlags = HtmlFlags(texts[17]);
    state.NewProcessFlag = texts[18] != u"F";
    state.FirstPageChangeFlag = texts[19] == u"T"   ? FirstPageChange::Never
                                : texts[19] == u"2" ? FirstPageChange::ShownThisRun
                                                    : FirstPageChange::ShowAtSwitch;
}
