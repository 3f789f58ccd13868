#pragma once

#include "core/MainState.h"

#include <QString>
#include <QStringView>

#include <array>
#include <span>

// One of the twenty values of the settings store: its name, the state it holds and its default.
struct StoredValue {
    // How the stored text is read and written; see readStoredValue and storedText.
    enum class Kind {
        Fragment,            // an HTML fragment
        RecentFile,          // one of RecentFiles
        FontSize,            // EditorFontSize as a decimal number
        FontFace,            // EditorFontFace
        HtmlSetFlags,        // the rendering switches, one character each
        NewProcessFlag,      // "F" turns the base template question off
        FirstPageChangeFlag, // "T" turns the explanation window off
    };

    QStringView name;
    Kind kind;
    // A fragment's default; the font size when the stored text is no number; the switches
    // FillHtmlDefaults puts in place.
    QStringView defaultText;
    QString HtmlSettings::*fragment = nullptr; // Kind::Fragment
    int recentFile = 0;                        // Kind::RecentFile: 0 is the newest
};

// The twenty values in the order they are read and written: the twelve fragments first
// (HtmlSky4 after HtmlSky6), then the recent files, the font, the switches and the two flags.
const std::array<StoredValue, 20>& storedValues();
// The twelve fragments among them.
std::span<const StoredValue> htmlFragmentValues();

// Puts a stored text into the state by the value's read rule; a missing value reads as "".
void readStoredValue(const StoredValue& value, const QString& text, MainState& state);
// The text the value is stored as.
QString storedText(const StoredValue& value, const MainState& state);
