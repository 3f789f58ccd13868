#include "entry/HtmlSettings.h"

#include "settings/SettingsTable.h"

namespace entry {

void FillHtmlDefaults(HtmlSettings& html, bool& newProcessFlag)
{
    for (const StoredValue& value : storedValues()) {
        if (value.kind == StoredValue::Kind::Fragment) {
            QString& text = html.*value.fragment;
            if (text.isEmpty())
                text = value.defaultText.toString();
        } else if (value.kind == StoredValue::Kind::HtmlSetFlags) {
            html.HtmlSetFlags = HtmlFlags(value.defaultText.toString());
        }
    }
    newProcessFlag = true;
}

HtmlSwitches switchesForRendering(const HtmlFlags& flags)
{
    return {flags.isZero(DateStyleFlag), flags.isZero(WeekdayShownFlag),
            flags.isZero(WeekdayLanguageFlag), flags.isZero(RuleAfterEntryFlag),
            flags.isZero(AutoBreakFlag)};
}

HtmlSwitches switchesForWindow(const HtmlFlags& flags)
{
    return {!flags.isOne(DateStyleFlag), !flags.isOne(WeekdayShownFlag),
            !flags.isOne(WeekdayLanguageFlag), flags.isZero(RuleAfterEntryFlag),
            flags.isZero(AutoBreakFlag)};
}

HtmlFlags flagsFromSwitches(const HtmlSwitches& switches)
{
    const bool firstChoice[HtmlFlags::count] = {switches.kanjiDate, switches.weekdayShown,
                                                switches.japaneseWeekday, switches.ruleAfterEntry,
                                                switches.autoBreaks};
    QString flags;
    for (bool on : firstChoice)
        flags += on ? u'0' : u'1';
    return HtmlFlags(flags);
}

} // namespace entry
