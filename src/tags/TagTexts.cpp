#include "tags/TagTexts.h"

#include <algorithm>
#include <optional>

namespace tags {

namespace {

const QString crlf = QStringLiteral("\r\n");

// The mixed colour of two buttons, indexed by the earlier one in the colour order and the
// later one; the diagonal holds each colour alone.
const char* const colourTable[ColourCount][ColourCount] = {
    {"#ff0000", "#ffcc00", "#ff00ff", "#ff8000", "#ffcccc", "#800000"},
    {nullptr, "#ffff00", "#00ffff", "#00cc00", "#ffffcc", "#808000"},
    {nullptr, nullptr, "#0000ff", "#0080ff", "#ccccff", "#000080"},
    {nullptr, nullptr, nullptr, "#008000", "#ccffcc", "#005000"},
    {nullptr, nullptr, nullptr, nullptr, "#ffffff", "#cccccc"},
    {nullptr, nullptr, nullptr, nullptr, nullptr, "#000000"},
};

QString attribute(const char* name, const QString& value)
{
    return QStringLiteral(" %1=\"").arg(QLatin1String(name)) + value + u'"';
}

} // namespace

QString lineBreakTag(Page currentPage)
{
    return currentPage == Page::Today ? QStringLiteral("<BR>") + crlf : QStringLiteral("<BR>");
}

QString horizontalRuleTag()
{
    return crlf + QStringLiteral("<HR>") + crlf;
}

QString linkTag(const QString& url, const QString& name, bool newWindow)
{
    QString tag = QStringLiteral("<A HREF=\"") + url + u'"';
    if (newWindow)
        tag += QStringLiteral(" TARGET=\"top\"");
    return tag + u'>' + (name.isEmpty() ? url : name) + QStringLiteral("</A>");
}

QString imageTag(const ImageFields& fields)
{
    QString tag = QStringLiteral("<IMG SRC=\"") + fields.file + u'"';
    // Width before height, though the window shows the height field first.
    if (!fields.width.isEmpty())
        tag += attribute("WIDTH", fields.width);
    if (!fields.height.isEmpty())
        tag += attribute("HEIGHT", fields.height);
    if (!fields.alt.isEmpty())
        tag += attribute("ALT", fields.alt);
    if (fields.align == ImageAlign::Left)
        tag += QStringLiteral(" ALIGN=\"left\"");
    else if (fields.align == ImageAlign::Right)
        tag += QStringLiteral(" ALIGN=\"right\"");
    return tag + u'>';
}

QString colourValue(Colour first, Colour second)
{
    const int row = std::min(first, second);
    const int column = std::max(first, second);
    return QLatin1String(colourTable[row][column]);
}

Decoration decorate(const DecorationButtons& buttons)
{
    Decoration d;
    auto style = [&d](bool down, const char* tag) {
        if (down)
            d.opening += QLatin1String(tag);
        return down;
    };
    d.bold = style(buttons.bold, "<B>");
    d.italic = style(buttons.italic, "<I>");
    d.underline = style(buttons.underline, "<U>");
    d.strike = style(buttons.strike, "<STRIKE>");
    if (style(buttons.big, "<BIG>"))
        d.pointSize = 18;
    if (style(buttons.small, "<SMALL>"))
        d.pointSize = 12;
    if (style(buttons.strong, "<STRONG>")) {
        if (d.bold)
            d.strongNote = true;
        d.bold = true;
    }

    std::optional<Colour> first;
    std::optional<Colour> second;
    for (int c = 0; c < ColourCount && !second; ++c) {
        if (!buttons.colours[c])
            continue;
        (first ? second : first) = static_cast<Colour>(c);
    }
    if (first) {
        d.colourNote = true;
        d.colours[*first] = true;
        if (second)
            d.colours[*second] = true;
        d.opening += QStringLiteral("<FONT COLOR=\"") + colourValue(*first, second.value_or(*first))
                     + QStringLiteral("\">");
        d.closing += QStringLiteral("</FONT>");
    }

    const std::pair<bool, const char*> ends[] = {
        {buttons.strong, "</STRONG>"}, {buttons.small, "</SMALL>"}, {buttons.big, "</BIG>"},
        {buttons.strike, "</STRIKE>"}, {buttons.underline, "</U>"}, {buttons.italic, "</I>"},
        {buttons.bold, "</B>"}};
    for (const auto& [down, tag] : ends) {
        if (down)
            d.closing += QLatin1String(tag);
    }
    return d;
}

QString tagStrip(const Decoration& decoration)
{
    return decoration.opening + QStringLiteral(" … ") + decoration.closing;
}

} // namespace tags
