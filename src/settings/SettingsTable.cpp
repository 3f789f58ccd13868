#include "settings/SettingsTable.h"

namespace {

using Kind = StoredValue::Kind;

StoredValue fragment(QStringView name, QString HtmlSettings::*field, QStringView defaultText)
{
    return {name, Kind::Fragment, defaultText, field};
}

StoredValue recentFile(QStringView name, int index)
{
    return {name, Kind::RecentFile, {}, nullptr, index};
}

constexpr int fragmentCount = 12;

// Any whole number that fits an int; anything else (also a number too big) gives the default.
int fontSizeFrom(const QString& text, QStringView defaultText)
{
    bool ok = false;
    const int size = text.toInt(&ok, 10);
    return ok ? size : defaultText.toInt();
}

} // namespace

const std::array<StoredValue, 20>& storedValues()
{
    static const std::array<StoredValue, 20> values{{
        fragment(u"HtmlDate1", &HtmlSettings::HtmlDate1, u"<font color=\"#ff0000\"><b>"),
        fragment(u"HtmlDate2", &HtmlSettings::HtmlDate2, u"</b></font>"),
        fragment(u"HtmlSky1", &HtmlSettings::HtmlSky1, u"<font color=\"#ffccaa\"><b>"),
        fragment(u"HtmlSky2", &HtmlSettings::HtmlSky2, u"<font color=\"#ccccff\"><b>"),
        fragment(u"HtmlSky3", &HtmlSettings::HtmlSky3, u"<font color=\"#aaccff\"><b>"),
        fragment(u"HtmlSky5", &HtmlSettings::HtmlSky5, u"<font color=\"#ccffff\"><b>"),
        fragment(u"HtmlSky6", &HtmlSettings::HtmlSky6, u"<font color=\"#cccccc\"><b>"),
        fragment(u"HtmlSky4", &HtmlSettings::HtmlSky4, u"</b></font>"),
        fragment(u"HtmlMain1", &HtmlSettings::HtmlMain1, u"<DIV STYLE=\"margin-left:20pt;\">"),
        fragment(u"HtmlMain2", &HtmlSettings::HtmlMain2, u"</DIV>"),
        fragment(u"HtmlTitle1", &HtmlSettings::HtmlTitle1, u"<BR><STRONG><font color=\"#008000\">"),
        fragment(u"HtmlTitle2", &HtmlSettings::HtmlTitle2, u"</font></STRONG>"),
        recentFile(u"LoadLog", 0),
        recentFile(u"LoadLog1", 1),
        recentFile(u"LoadLog2", 2),
        {u"EditFontSize", Kind::FontSize, u"10"},
        {u"EditFontFace", Kind::FontFace, {}},
        {u"HtmlSetFlags", Kind::HtmlSetFlags, u"00011"},
        {u"NewProcessFlag", Kind::NewProcessFlag, {}},
        {u"FirstPageChangeFlag", Kind::FirstPageChangeFlag, {}},
    }};
    return values;
}

std::span<const StoredValue> htmlFragmentValues()
{
    return std::span(storedValues()).first(fragmentCount);
}

void readStoredValue(const StoredValue& value, const QString& text, MainState& state)
{
    switch (value.kind) {
    case Kind::Fragment:
        // A stored empty fragment leaves the default in place.
        if (!text.isEmpty())
            state.Html.*value.fragment = text;
        break;
    case Kind::RecentFile: state.RecentFiles[value.recentFile] = text; break;
    case Kind::FontSize: state.EditorFontSize = fontSizeFrom(text, value.defaultText); break;
    case Kind::FontFace: state.EditorFontFace = text; break;
    case Kind::HtmlSetFlags: state.Html.HtmlSetFlags = HtmlFlags(text); break;
    case Kind::NewProcessFlag: state.NewProcessFlag = text != u"F"; break;
    case Kind::FirstPageChangeFlag:
        state.FirstPageChangeFlag =
            text == u"T" ? FirstPageChange::Never : FirstPageChange::ShowAtSwitch;
        break;
    }
}

QString storedText(const StoredValue& value, const MainState& state)
{
    switch (value.kind) {
    case Kind::Fragment: return state.Html.*value.fragment;
    case Kind::RecentFile: return state.RecentFiles[value.recentFile];
    case Kind::FontSize: return QString::number(state.EditorFontSize);
    case Kind::FontFace: return state.EditorFontFace;
    case Kind::HtmlSetFlags: return state.Html.HtmlSetFlags.text();
    case Kind::NewProcessFlag:
        return state.NewProcessFlag ? QStringLiteral("T") : QStringLiteral("F");
    case Kind::FirstPageChangeFlag:
        // A window already shown in this run is stored as "F": it comes up again next run.
        return state.FirstPageChangeFlag == FirstPageChange::Never ? QStringLiteral("T")
                                                                   : QStringLiteral("F");
    }
    return {};
}
