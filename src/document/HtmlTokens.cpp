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

// One pass over a line; `tokens` may be null when only the end state is wanted.
class LineScanner {
public:
    LineScanner(QStringView line, HtmlState state, QList<HtmlToken>* tokens)
        : s_(line), n_(int(line.size())), state_(state), tokens_(tokens)
    {
    }

    HtmlState run()
    {
        while (i_ < n_) {
            switch (state_) {
            case HtmlState::Text: text(); break;
            case HtmlState::Tag: tag(); break;
            case HtmlState::Comment: comment(); break;
            case HtmlState::DoubleQuoted: quoted(u'"'); break;
            case HtmlState::SingleQuoted: quoted(u'\''); break;
            }
        }
        return state_;
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
            state_ = HtmlState::Comment;
        } else if (startsTag(i_ + 1)) {
            tagOpening();
        } else {
            ++i_;
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
        state_ = HtmlState::Tag;
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
            state_ = HtmlState::Text;
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
        state_ = quote == u'"' ? HtmlState::DoubleQuoted : HtmlState::SingleQuoted;
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
        state_ = HtmlState::Tag;
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
        state_ = HtmlState::Text;
    }

    QStringView s_;
    int n_;
    int i_ = 0;
    int start_ = 0; // where the comment or quoted value being scanned began on this line
    HtmlState state_;
    QList<HtmlToken>* tokens_;
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

} // namespace document
