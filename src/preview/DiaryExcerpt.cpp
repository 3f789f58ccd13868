#include "preview/DiaryExcerpt.h"

#include <QTextBlock>
#include <QTextDocument>

using document::HtmlState;

namespace {

constexpr int markSpacing = 4096;
constexpr int headLines = 1000; // the <body> tag is looked for in these

} // namespace

DiaryExcerpt::DiaryExcerpt(QTextDocument* document) : QObject(document), document_(document)
{
    connect(document, &QTextDocument::contentsChange, this, &DiaryExcerpt::contentsChange);
}

// A mark depends on every line above it: those after the edited line are walked again.
void DiaryExcerpt::contentsChange(int position, int /*removed*/, int /*added*/)
{
    const int line = document_->findBlock(position).blockNumber();
    const int kept = std::max(0, line) / markSpacing + 1;
    if (marks_.size() > kept)
        marks_.resize(kept);
}

HtmlState DiaryExcerpt::markAt(int mark)
{
    while (marks_.size() <= mark) {
        const int first = int(marks_.size() - 1) * markSpacing;
        HtmlState state = marks_.last();
        QTextBlock block = document_->findBlockByNumber(first);
        for (int i = 0; i < markSpacing && block.isValid(); ++i, block = block.next())
            state = document::htmlLineEnd(block.text(), state);
        marks_.append(state);
    }
    return marks_.at(mark);
}

// The first line starts in text, so the walk always ends.
int DiaryExcerpt::textStartAtOrAbove(int line)
{
    for (int mark = line / markSpacing;; --mark) {
        HtmlState state = markAt(mark);
        int found = -1;
        QTextBlock block = document_->findBlockByNumber(mark * markSpacing);
        for (int n = mark * markSpacing; n <= line && block.isValid(); ++n, block = block.next()) {
            if (state == HtmlState::Text)
                found = n;
            state = document::htmlLineEnd(block.text(), state);
        }
        if (found >= 0 || mark == 0)
            return std::max(found, 0);
        line = mark * markSpacing - 1;
    }
}

int DiaryExcerpt::bodyTagLine() const
{
    HtmlState state = HtmlState::Text;
    QTextBlock block = document_->firstBlock();
    for (int n = 0; n < headLines && block.isValid(); ++n, block = block.next()) {
        const QString text = block.text();
        const document::HtmlLine line = document::tokenizeHtmlLine(text, state);
        for (const document::HtmlToken& token : line.tokens) {
            const auto tag = QStringView(text).mid(token.start, token.length);
            if (token.kind == document::HtmlTokenKind::Tag
                && tag.compare(u"<body", Qt::CaseInsensitive) == 0)
                return line.end == HtmlState::Text ? n : -1;
        }
        state = line.end;
    }
    return -1;
}

QString DiaryExcerpt::lines(int first, int last, const QTextBlock& cursorLine,
                            const QString& anchor) const
{
    QString text;
    HtmlState state = HtmlState::Text;
    QTextBlock block = document_->findBlockByNumber(first);
    for (; block.isValid() && block.blockNumber() <= last; block = block.next()) {
        const QString line = block.text();
        if (block == cursorLine && state == HtmlState::Text)
            text += QStringLiteral("<a name=\"%1\"></a>").arg(anchor);
        state = document::htmlLineEnd(line, state);
        text += line;
        text += u'\n';
    }
    return text;
}

QString DiaryExcerpt::around(const QTextBlock& cursorLine, int before, int after,
                             const QString& anchor)
{
    const int current = cursorLine.blockNumber();
    const int first = textStartAtOrAbove(std::max(0, current - before));
    const int body = first > 0 ? bodyTagLine() : -1;
    const QString head = body >= 0 && body < first ? lines(0, body, cursorLine, anchor) : QString();
    return head + lines(first, current + after, cursorLine, anchor);
}
