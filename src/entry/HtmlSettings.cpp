#include "entry/HtmlSettings.h"

namespace entry {

const std::array<HtmlFragmentInfo, 12>& htmlFragments()
{
    static const std::array<HtmlFragmentInfo, 12> fragments = {{
        {u"HtmlDate1", &HtmlSettings::HtmlDate1, u"<font color=\"#ff0000\"><b>"},
        {u"HtmlDate2", &HtmlSettings::HtmlDate2, u"</b></font>"},
        {u"HtmlSky1", &HtmlSettings::HtmlSky1, u"<font color=\"#ffccaa\"><b>"},
        {u"HtmlSky2", &HtmlSettings::HtmlSky2, u"<font color=\"#ccccff\"><b>"},
        {u"HtmlSky3", &HtmlSettings::HtmlSky3, u"<font color=\"#aaccff\"><b>"},
        {u"HtmlSky5", &HtmlSettings::HtmlSky5, u"<font color=\"#ccffff\"><b>"},
        {u"HtmlSky6", &HtmlSettings::HtmlSky6, u"<font color=\"#cccccc\"><b>"},
        {u"HtmlSky4", &HtmlSettings::HtmlSky4, u"</b></font>"},
        {u"HtmlMain1", &HtmlSettings::HtmlMain1, u"<DIV STYLE=\"margin-left:20pt;\">"},
        {u"HtmlMain2", &HtmlSettings::HtmlMain2, u"</DIV>"},
        {u"HtmlTitle1", &HtmlSettings::HtmlTitle1, u"<BR><STRONG><font color=\"#008000\">"},
        {u"HtmlTitle2", &HtmlSettings::HtmlTitle2, u"</font></STRONG>"},
    }};
    return fragments;
}

void FillHtmlDefaults(HtmlSettings& html, bool& newProcessFlag)
{
    for (const HtmlFragmentInfo& fragment : htmlFragments()) {
        QString& text = html.*fragment.field;
        if (text.isEmpty())
            text = fragment.defaultText.toString();
    }
    newProcessFlag = true;
    html.HtmlSetFlags = HtmlFlags(QStringLiteral("00011"));
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
                                                switches.japaneseWeekday,
                                                switches.ruleAfterEntry, switches.autoBreaks};
    QString flags;
    for (bool on : firstChoice)
        flags += on ? u'0' : u'1';
    return HtmlFlags(flags);
}

} // namespace entry
