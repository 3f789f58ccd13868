#pragma once

#include "core/MainState.h"

#include <QString>

namespace entry {

// Every empty fragment gets its default (a fragment with text keeps it), HtmlSetFlags becomes
// "00011" and newProcessFlag true.
void FillHtmlDefaults(HtmlSettings& html, bool& newProcessFlag);

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
HtmlSwitches switchesForRendering(const HtmlFlags& flags);
// What the settings window shows: positions 1 to 3 are the first choice unless they hold "1",
// positions 4 and 5 are checked only when they hold "0". So "" shows the defaults.
HtmlSwitches switchesForWindow(const HtmlFlags& flags);
// The five characters the window writes: "0" for each switch on, "1" for each off.
HtmlFlags flagsFromSwitches(const HtmlSwitches& switches);

} // namespace entry
