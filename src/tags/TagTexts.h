#pragma once

#include "core/MainState.h"

#include <QString>

#include <array>

// The texts the tag tools put into an editor. Every value goes in exactly as the writer typed
// it: nothing is trimmed, checked or escaped. Line ends are CR LF.
namespace tags {

// "<BR>" with CR LF after it on the first tab (the tag also ends the line of today's entry),
// "<BR>" alone on the second.
QString lineBreakTag(Page currentPage);
// The rule on a line of its own: CR LF, "<HR>", CR LF; the same on both tabs.
QString horizontalRuleTag();

// <A HREF="url"[ TARGET="top"]>name</A>; an empty name gives the url as the link text.
QString linkTag(const QString& url, const QString& name, bool newWindow);

enum class ImageAlign { None, Left, Right };

struct ImageFields {
    QString file;
    QString height;
    QString width;
    QString alt;
    ImageAlign align = ImageAlign::None;
};

// <IMG SRC="file"[ WIDTH=".."][ HEIGHT=".."][ ALT=".."][ ALIGN=".."]>: the attributes always in
// this order, each optional one only when its field is not empty.
QString imageTag(const ImageFields& fields);

// The colour buttons, in the order the colour rule goes through them.
enum Colour { Red, Yellow, Blue, Green, White, Black, ColourCount };
using ColourButtons = std::array<bool, ColourCount>;

// The up or down state of the thirteen decoration buttons.
struct DecorationButtons {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool big = false;
    bool small = false;
    bool strong = false;
    ColourButtons colours{};
};

// The font colour of two colours mixed (either order), or of one alone given twice, as
// "#rrggbb".
QString colourValue(Colour first, Colour second);

// What the decoration window shows and inserts for a state of its buttons.
struct Decoration {
    QString opening; // start tags, the font tag last
    QString closing; // end tags in the reverse order, the font end tag first
    // The colour buttons that stay down: the first two pressed in the colour order, the rest
    // released.
    ColourButtons colours{};
    // The preview of the selected text: style and size (the colour is not shown).
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int pointSize = 16;
    bool strongNote = false; // strong and bold both chosen
    bool colourNote = false; // a colour is chosen
};

Decoration decorate(const DecorationButtons& buttons);

// The tag strip of the decoration window: opening tags, " … ", closing tags.
QString tagStrip(const Decoration& decoration);

} // namespace tags
