#pragma once

#include <QList>
#include <QStringView>

namespace document {

// Where a line of the diary starts, as far as HTML is concerned: in plain text, inside a tag
// (between its attributes), inside a comment, or inside a quoted attribute value. Only these
// carry over a line end. The opening tag of a <script> or <style> element has states of its
// own, since what follows it is the element's content (ScriptContent, StyleContent): a script
// or a stylesheet, not HTML, which runs up to the element's close tag.
enum class HtmlState : quint8 {
    Text,
    Tag,
    Comment,
    DoubleQuoted,
    SingleQuoted,
    ScriptTag,
    ScriptDoubleQuoted,
    ScriptSingleQuoted,
    ScriptContent,
    StyleTag,
    StyleDoubleQuoted,
    StyleSingleQuoted,
    StyleContent,
};
constexpr int htmlStateCount = int(HtmlState::StyleContent) + 1;

enum class HtmlTokenKind : quint8 { Tag, AttributeName, AttributeValue, Comment, CharReference };

// A run of one kind, in UTF-16 units of the line.
struct HtmlToken {
    int start = 0;
    int length = 0;
    HtmlTokenKind kind = HtmlTokenKind::Tag;

    friend bool operator==(const HtmlToken&, const HtmlToken&) = default;
};

struct HtmlLine {
    QList<HtmlToken> tokens;
    HtmlState end = HtmlState::Text;
};

// The coloured runs of one line that starts in `start`, and the state it ends in. A tag is its
// "<" and name ("<font", "</b", "<!DOCTYPE") and its closing ">" or "/>"; a quoted value
// includes its quotes; a comment runs from "<!--" to "-->"; a character reference is "&name;",
// "&#digits;" or "&#xhex;". A "<" not followed by a name (as in "a < b") is text. The content of
// a script or style element has no runs: "if (a<b)" there is not a tag; its close tag
// ("</script", in any case) is.
HtmlLine tokenizeHtmlLine(QStringView line, HtmlState start);

// The state at the end of the line alone, without the runs.
HtmlState htmlLineEnd(QStringView line, HtmlState start);

// Where the line's text first shows, and the state it ends in.
struct HtmlLineText {
    // The first character that is not a blank outside tags, comments and the content of a
    // script or style element; -1 when the line has none.
    int textStart = -1;
    HtmlState end = HtmlState::Text;
};
HtmlLineText htmlLineText(QStringView line, HtmlState start);

} // namespace document
