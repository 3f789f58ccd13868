#include "document/HtmlTokens.h"

namespace document {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// What the scanner is in, and whether that is inside a script or style element's opening tag
// or content; HtmlState is the two together.
enum class Mode : quint8 { Text, Tag, Comment, DoubleQuoted, SingleQuoted, Content };
enum class Raw : quint8 { None, Script, Style };

struct Place {
    Mode mode;
    Raw raw;
};

constexpr Place places[htmlStateCount] = {
    {Mode::Text, Raw::None},           {Mode::Tag, Raw::None},
    {Mode::Comment, Raw::None},        {Mode::DoubleQuoted, Raw::None},
    {Mode::SingleQuoted, Raw::None},   {Mode::Tag, Raw::Script},
    {Mode::DoubleQuoted, Raw::Script}, {Mode::SingleQuoted, Raw::Script},
    {Mode::Content, Raw::Script},      {Mode::Tag, Raw::Style},
    {Mode::DoubleQuoted, Raw::Style},  {Mode::SingleQuoted, Raw::Style},
    {Mode::Content, Raw::Style},
};

// A state out of range (never written by the scanner) is taken as plain text.
Place placeOf(HtmlState state)
{
    const int index = int(state);
    return index < htmlStateCount ? places[index] : Place{Mode::Text, Raw::None};
}

HtmlState stateOf(Place place)
{
    for (int i = 0; i < htmlStateCount; ++i) {
        if (places[i].mode == place.mode && places[i].raw == place.raw)
            return HtmlState(i);
    }
    return HtmlState::Text;
}

// One pass over a line; `tokens` may be null when only the end state is wanted.
class LineScanner {
public:
    LineScanner(QStringView line, HtmlState state, QList<HtmlToken>* tokens, bool findText = false)
        : s_(line), n_(int(line.size())), mode_(placeOf(state).mode), raw_(placeOf(state).raw),
          tokens_(tokens), textStart_(findText ? -1 : n_)
    {
    }

    // The first character of text that is not a blank, -1 when none (when asked for).
    int textStart() const { return textStart_; }

    HtmlState run()
    {
        while (i_ < n_) {
            switch (mode_) {
            case Mode::Text: text(); break;
            case Mode::Tag: tag(); break;
            case Mode::Comment: comment(); break;
            case Mode::DoubleQuoted: quoted(u'"'); break;
            case Mode::SingleQuoted: quoted(u'\''); break;
            case Mode::Content: content(); break;
            }
        }
        return stateOf({mode_, raw_});
    }

private:
    QChar at(int i) const { return i < n_ ? s_[i] : QChar(); }

    void add(int start, int end, HtmlTokenKind kind)
    {
        if (tokens_ && end > start)
            tokens_->append({start, end - start, kind});
    }

    void text()
    {
        const int next = tokens_ ? nextMarkup() : int(s_.indexOf(u'<', i_));
        noteText(i_, next < 0 ? n_ : next);
        if (next < 0) {
            i_ = n_;
            return;
        }
        i_ = next;
        if (s_[i_] == u'&') {
            const int end = charReferenceEnd(i_);
            add(i_, end, HtmlTokenKind::CharReference);
            i_ = std::max(end, i_ + 1);
        } else if (s_.mid(i_).startsWith(u"<!--")) {
            start_ = i_;
            i_ += 4;
            mode_ = Mode::Comment;
        } else if (startsTag(i_ + 1)) {
            tagOpening();
        } else {
            noteText(i_, i_ + 1);
            ++i_;
        }
    }

    void noteText(int from, int to)
    {
        for (int j = from; textStart_ < 0 && j < to; ++j) {
            if (!s_[j].isSpace())
                textStart_ = j;
        }
    }

    int nextMarkup() const
    {
        for (int j = i_; j < n_; ++j) {
            if (s_[j] == u'<' || s_[j] == u'&')
                return j;
        }
        return -1;
    }

    bool startsTag(int j) const
    {
        const QChar c = at(j);
        return isAsciiLetter(c) || c == u'/' || c == u'!' || c == u'?';
    }

    // "<" and the tag's name.
    void tagOpening()
    {
        const int start = i_;
        ++i_;
        if (s_[i_] == u'/' || s_[i_] == u'!' || s_[i_] == u'?')
            ++i_;
        while (i_ < n_ && !isSpace(s_[i_]) && s_[i_] != u'>' && s_[i_] != u'/')
            ++i_;
        add(start, i_, HtmlTokenKind::Tag);
        raw_ = rawElement(s_.sliced(start + 1, i_ - start - 1));
        mode_ = Mode::Tag;
    }

    static Raw rawElement(QStringView name)
    {
        if (name.compare(u"script", Qt::CaseInsensitive) == 0)
            return Raw::Script;
        if (name.compare(u"style", Qt::CaseInsensitive) == 0)
            return Raw::Style;
        return Raw::None;
    }

    // A script or stylesheet is not HTML: nothing in it is coloured, and it ends only at the
    // element's close tag, "</script" or "</style" in any case followed by a blank, "/", ">"
    // or the line's end.
    void content()
    {
        const QStringView close = raw_ == Raw::Script ? QStringView(u"</script") : u"</style";
        for (qsizetype found = s_.indexOf(close, i_, Qt::CaseInsensitive); found >= 0;
             found = s_.indexOf(close, found + 1, Qt::CaseInsensitive)) {
            const int end = int(found + close.size());
            if (end == n_ || isSpace(s_[end]) || s_[end] == u'/' || s_[end] == u'>') {
                i_ = int(found);
                tagOpening();
                return;
            }
        }
        i_ = n_;
    }

    // The end of a character reference starting at `amp`, or `amp` when there is none.
    int charReferenceEnd(int amp) const
    {
        int j = amp + 1;
        if (at(j) == u'#') {
            ++j;
            const bool hex = at(j) == u'x' || at(j) == u'X';
            if (hex)
                ++j;
            const int digits = j;
            while (j < n_ && (hex ? isHexDigit(s_[j]) : isAsciiDigit(s_[j])))
                ++j;
            if (j == digits)
                return amp;
        } else {
            if (!isAsciiLetter(at(j)))
                return amp;
            while (j < n_ && (isAsciiLetter(s_[j]) || isAsciiDigit(s_[j])))
                ++j;
        }
        return at(j) == u';' ? j + 1 : amp;
    }

    void tag()
    {
        while (i_ < n_ && isSpace(s_[i_]))
            ++i_;
        if (i_ == n_)
            return;
        const QChar c = s_[i_];
        if (c == u'>' || (c == u'/' && at(i_ + 1) == u'>')) {
            const int end = i_ + (c == u'>' ? 1 : 2);
            add(i_, end, HtmlTokenKind::Tag);
            i_ = end;
            mode_ = raw_ == Raw::None ? Mode::Text : Mode::Content;
        } else if (c == u'"' || c == u'\'') {
            openQuote(c);
        } else if (c == u'=') {
            afterEquals();
        } else if (c == u'/') {
            ++i_;
        } else {
            const int start = i_;
            while (i_ < n_ && !isSpace(s_[i_]) && s_[i_] != u'=' && s_[i_] != u'>' && s_[i_] != u'/'
                   && s_[i_] != u'"' && s_[i_] != u'\'')
                ++i_;
            add(start, i_, HtmlTokenKind::AttributeName);
        }
    }

    void openQuote(QChar quote)
    {
        start_ = i_;
        ++i_;
        mode_ = quote == u'"' ? Mode::DoubleQuoted : Mode::SingleQuoted;
    }

    // A value after "=": quoted, or a bare run up to a blank or ">".
    void afterEquals()
    {
        ++i_;
        while (i_ < n_ && isSpace(s_[i_]))
            ++i_;
        if (i_ == n_ || s_[i_] == u'>')
            return;
        if (s_[i_] == u'"' || s_[i_] == u'\'') {
            openQuote(s_[i_]);
            return;
        }
        const int start = i_;
        while (i_ < n_ && !isSpace(s_[i_]) && s_[i_] != u'>')
            ++i_;
        add(start, i_, HtmlTokenKind::AttributeValue);
    }

    void quoted(QChar quote)
    {
        const qsizetype close = s_.indexOf(quote, i_);
        if (close < 0) {
            add(start_, n_, HtmlTokenKind::AttributeValue);
            i_ = n_;
            return;
        }
        i_ = int(close) + 1;
        add(start_, i_, HtmlTokenKind::AttributeValue);
        mode_ = Mode::Tag;
    }

    void comment()
    {
        const qsizetype close = s_.indexOf(u"-->", i_);
        if (close < 0) {
            add(start_, n_, HtmlTokenKind::Comment);
            i_ = n_;
            return;
        }
        i_ = int(close) + 3;
        add(start_, i_, HtmlTokenKind::Comment);
        mode_ = Mode::Text;
    }

    QStringView s_;
    int n_;
    int i_ = 0;
    int start_ = 0; // where the comment or quoted value being scanned began on this line
    Mode mode_;
    Raw raw_;
    QList<HtmlToken>* tokens_;
    int textStart_;
};

} // namespace

HtmlLine tokenizeHtmlLine(QStringView line, HtmlState start)
{
    HtmlLine result;
    result.end = LineScanner(line, start, &result.tokens).run();
    return result;
}

HtmlState htmlLineEnd(QStringView line, HtmlState start)
{
    return LineScanner(line, start, nullptr).run();
}

HtmlLineText htmlLineText(QStringView line, HtmlState start)
{
    LineScanner scanner(line, start, nullptr, true);
    const HtmlState end = scanner.run();
    return {scanner.textStart(), end};
}

} // namespace document
