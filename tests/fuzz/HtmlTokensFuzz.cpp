// The HTML tokenizer on any line and start state: the runs are in order, inside the line, not
// empty and not overlapping; each kind looks as documented (a tag run is "<name", ">" or "/>";
// a character reference "&...;"; a comment starts with "<!--" unless the line starts inside
// one, and is left open only at the line's end); and htmlLineEnd gives the same end state.
#include "FuzzCheck.h"
#include "FuzzText.h"
#include "document/HtmlTokens.h"

#include <cstdint>

using document::HtmlState;
using document::HtmlTokenKind;
using fuzz::require;

namespace {

constexpr char16_t alphabet[] = {u'<',  u'>',  u'/', u'!', u'-', u'"', u'\'', u'=',  u'&', u'#',
                                 u'x',  u';',  u'a', u'B', u'1', u'f', u' ',  u'\t', u'?', u'\r',
                                 u'\n', u'あ', u'<', u'-', u'"', u'>', u'&',  u'=',  u'z', u'9'};

void checkToken(QStringView line, HtmlState start, const document::HtmlToken& t, bool last,
                HtmlState end)
{
    const QStringView run = line.sliced(t.start, t.length);
    switch (t.kind) {
    case HtmlTokenKind::Tag:
        require((run.size() >= 2 && run[0] == u'<') || run == u">" || run == u"/>",
                "a tag run is its opening or its close");
        break;
    case HtmlTokenKind::CharReference:
        require(run.size() >= 3 && run.startsWith(u'&') && run.endsWith(u';'),
                "a character reference runs from & to ;");
        break;
    case HtmlTokenKind::Comment: {
        // A comment begun on an earlier line needs only its "-->" here; one begun on this
        // line cannot share its dashes between "<!--" and "-->".
        const bool continued = t.start == 0 && start == HtmlState::Comment;
        require(continued || run.startsWith(u"<!--"),
                "a comment starts with <!-- or at a line begun inside one");
        require(((continued || run.size() >= 7) && run.endsWith(u"-->"))
                    || (last && end == HtmlState::Comment && t.start + t.length == line.size()),
                "a comment ends with --> or stays open to the end of the line");
        break;
    }
    case HtmlTokenKind::AttributeName:
    case HtmlTokenKind::AttributeValue: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto start =
        HtmlState(provider.ConsumeIntegralInRange<int>(0, document::htmlStateCount - 1));
    const QString line = fuzz::takeText(provider, 4096, alphabet);

    const document::HtmlLine result = document::tokenizeHtmlLine(line, start);
    int previousEnd = 0;
    for (qsizetype i = 0; i < result.tokens.size(); ++i) {
        const document::HtmlToken& t = result.tokens[i];
        require(t.length > 0 && t.start >= previousEnd && t.start + t.length <= line.size(),
                "runs are in order, inside the line, not empty and not overlapping");
        checkToken(line, start, t, i + 1 == result.tokens.size(), result.end);
        previousEnd = t.start + t.length;
    }
    require(document::htmlLineEnd(line, start) == result.end,
            "htmlLineEnd agrees with tokenizeHtmlLine");
    return 0;
}
