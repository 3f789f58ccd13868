#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <array>

// The twelve HTML fragments an entry is rendered with, and the five rendering switches.
struct HtmlSettings {
    QString HtmlDate1;
    QString HtmlDate2;
    QString HtmlSky1;
    QString HtmlSky2;
    QString HtmlSky3;
    QString HtmlSky5;
    QString HtmlSky6;
    QString HtmlSky4;
    QString HtmlTitle1;
    QString HtmlTitle2;
    QString HtmlMain1;
    QString HtmlMain2;
    // One character per switch, "0" meaning the first choice or on; at most five characters,
    // positions past the end count as empty.
    QString HtmlSetFlags = QStringLiteral("00011");
};

namespace entry {

// One fragment: its name (the state field's and the stored value's), where it lives, its default.
struct HtmlFragmentInfo {
    QStringView name;
    QString HtmlSettings::*field;
    QStringView defaultText;
};

// The twelve fragments in the order the settings store keeps them (HtmlSky4 after HtmlSky6).
const std::array<HtmlFragmentInfo, 12>& htmlFragments();

// Every empty fragment gets its default (a fragment with text keeps it), HtmlSetFlags becomes
// "00011" and newProcessFlag 'T'.
void FillHtmlDefaults(HtmlSettings& html, QChar& newProcessFlag);

// The positions of HtmlSetFlags, counted from 1.
enum HtmlFlag : int {
    DateStyleFlag = 1,       // "0": 1999年3月27日, else 1999/3/27.
    WeekdayShownFlag = 2,    // "0": the weekday follows the date
    WeekdayLanguageFlag = 3, // "0": Japanese "(土)", else English "Sat."; only with position 2
    RuleAfterEntryFlag = 4,  // "0": a line "<HR>" follows the entry
    AutoBreakFlag = 5,       // "0": "<BR>" at the end of every body line
};
inline constexpr int htmlFlagCount = 5;

// True when the position holds "0". A position the text does not reach, or any character other
// than "0", is false. This is how rendering reads every position.
bool flagIsZero(const QString& flags, int position);
// True unless the position holds "1"; an empty position is true.
bool flagIsNotOne(const QString& flags, int position);

// The five switches as booleans, true meaning the first choice ("0").
struct HtmlSwitches {
    bool kanjiDate = true;
    bool weekdayShown = true;
    bool japaneseWeekday = true;
    bool ruleAfterEntry = false;
    bool autoBreaks = false;

    friend bool operator==(const HtmlSwitches&, const HtmlSwitches&) = default;
};

// What an insertion does: each switch is on only where its position holds "0".
HtmlSwitches switchesForRendering(const QString& flags);
// What the settings window shows: positions 1 to 3 are the first choice unless they hold "1",
// positions 4 and 5 are checked only when they hold "0". So "" shows the defaults.
HtmlSwitches switchesForWindow(const QString& flags);
// The five characters the window writes: "0" for each switch on, "1" for each off.
QString flagsFromSwitches(const HtmlSwitches& switches);

// The text saved under HtmlSetFlags: the characters up to the first empty position.
QString flagsToStore(const QString& flags);
// HtmlSetFlags from a stored text: its first five characters; positions it does not reach
// stay empty.
QString flagsFromStore(const QString& stored);

} // namespace entry
