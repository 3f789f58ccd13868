#include "document/HtmlColoring.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using document::HtmlState;
using document::HtmlTokenKind;

namespace {

constexpr int paintBudgetMs = 2;
constexpr int sliceMs = 2;
constexpr int unknown = -1; // a block's user state before it was ever settled

// The runs of a line that is painted: none for a line longer than HtmlColoring::colouredLength
// (a diary without line breaks). Qt splits a line's runs of text at both ends of every format
// range, each split moving every run after it, so even the colours of a long line's leading
// part would cost their number times the line's length at every key and every layout. The end
// state still comes from the whole line, or from the block when it is settled, so the lines
// below it start right.
document::HtmlLine paintedLine(const QTextBlock& block, HtmlState start, bool settled)
{
    if (block.length() <= HtmlColoring::colouredLength)
        return document::tokenizeHtmlLine(block.text(), start);
    document::HtmlLine line;
    line.end = settled ? HtmlState(block.userState()) : document::htmlLineEnd(block.text(), start);
    return line;
}

QList<QTextLayout::FormatRange> formatsOf(const document::HtmlLine& line, const QPalette& palette)
{
    QList<QTextLayout::FormatRange> formats;
    formats.reserve(line.tokens.size());
    for (const document::HtmlToken& token : line.tokens) {
        QTextLayout::FormatRange range;
        range.start = token.start;
        range.length = token.length;
        range.format.setForeground(HtmlColoring::colourOf(token.kind, palette));
        formats.append(range);
    }
    return formats;
}

} // namespace

HtmlColoring::HtmlColoring(QPlainTextEdit* editor) : QObject(editor), editor_(editor)
{
    QTextDocument* doc = editor->document();
    blockCount_ = doc->blockCount();
    connect(doc, &QTextDocument::contentsChange, this, &HtmlColoring::contentsChange);
    editor->viewport()->installEventFilter(this);
    editor->installEventFilter(this);
    background_.setSingleShot(true);
    background_.setInterval(0);
    connect(&background_, &QTimer::timeout, this, &HtmlColoring::settleInBackground);
}

QColor HtmlColoring::colourOf(HtmlTokenKind kind, const QPalette& palette)
{
    const bool darkBase = palette.color(QPalette::Base).lightness() < 128;
    switch (kind) {
    case HtmlTokenKind::Tag: return darkBase ? QColor(0x7f, 0xb2, 0xff) : QColor(0x1f, 0x4f, 0xb0);
    case HtmlTokenKind::AttributeName:
        return darkBase ? QColor(0xf0, 0xb0, 0x60) : QColor(0x9a, 0x4f, 0x00);
    case HtmlTokenKind::AttributeValue:
        return darkBase ? QColor(0x8f, 0xdc, 0x8f) : QColor(0x0b, 0x7a, 0x2f);
    case HtmlTokenKind::Comment:
        return darkBase ? QColor(0x9a, 0x9a, 0x9a) : QColor(0x70, 0x70, 0x70);
    case HtmlTokenKind::CharReference:
        return darkBase ? QColor(0xf0, 0x8f, 0xd6) : QColor(0xa3, 0x15, 0x7a);
    }
    return palette.color(QPalette::Text);
}

bool HtmlColoring::isSettled() const
{
    return settled_ >= editor_->document()->blockCount();
}

void HtmlColoring::setEnabled(bool on)
{
    enabled_ = on;
    coloured_ = {};
    if (on)
        background_.start();
    else
        background_.stop();
    editor_->viewport()->update();
}

// Blocks from the edited one on are no longer settled. Markers past the edit move with the
// blocks they point at.
void HtmlColoring::contentsChange(int position, int /*removed*/, int added)
{
    QTextDocument* doc = editor_->document();
    const int count = doc->blockCount();
    const int delta = count - blockCount_;
    blockCount_ = count;
    const int first = doc->findBlock(position).blockNumber();
    const int lastPosition = std::min(position + added, doc->characterCount() - 1);
    const int last = std::max(first, doc->findBlock(lastPosition).blockNumber());
    const int oldLast = last - delta;

    knownSettled_ =
        knownSettled_ > oldLast ? knownSettled_ + delta : std::min(knownSettled_, first);
    editEnd_ = std::max(editEnd_ > oldLast ? editEnd_ + delta : editEnd_, last);
    settled_ = std::min(settled_, first);
    if (waitingFor_ > oldLast)
        waitingFor_ += delta;
    coloured_ = {};
    if (enabled_)
        background_.start();
}

bool HtmlColoring::settle(int target, int budgetMs)
{
    QTextDocument* doc = editor_->document();
    target = std::min(target, doc->blockCount());
    if (settled_ >= target)
        return true;
    QElapsedTimer clock;
    clock.start();
    QTextBlock block = doc->findBlockByNumber(settled_);
    HtmlState state = startOf(block);
    while (block.isValid() && settled_ < target) {
        const HtmlState end = document::htmlLineEnd(block.text(), state);
        const int before = block.userState();
        block.setUserState(int(end));
        const int number = settled_++;
        if (before != int(end)) {
            changedFirst_ = changedFirst_ < 0 ? number : std::min(changedFirst_, number);
            changedLast_ = std::max(changedLast_, number);
        }
        if (number > editEnd_ && before == int(end) && knownSettled_ > settled_) {
            // Past the edits and ending as before: the blocks after it still hold right states.
            settled_ = knownSettled_;
            editEnd_ = -1;
            block = doc->findBlockByNumber(settled_);
            state = startOf(block);
            continue;
        }
        state = end;
        block = block.next();
        if ((settled_ & 0xff) == 0 && clock.elapsed() >= budgetMs)
            break;
    }
    if (settled_ > editEnd_)
        editEnd_ = -1;
    knownSettled_ = std::max(knownSettled_, settled_);
    return settled_ >= target;
}

HtmlState HtmlColoring::startOf(const QTextBlock& block) const
{
    const QTextBlock previous = block.previous();
    if (!previous.isValid() || previous.userState() == unknown)
        return HtmlState::Text;
    return HtmlState(previous.userState());
}

bool HtmlColoring::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: while the editor is being destroyed its viewport still sends events here,
    // and the editor can no longer be asked for its viewport.
    if (event->type() == QEvent::Paint && watched == editor_->viewport())
        colourVisibleBlocks();
    // An input method's composition puts formats of its own on its line, and takes them away.
    if (event->type() == QEvent::InputMethod && watched == editor_)
        coloured_ = {};
    return QObject::eventFilter(watched, event);
}

// Sets the formats of the blocks on screen. A layout is given new formats only when they
// differ; a block in the middle of an input method's composition keeps the input method's
// formats. New formats make a block lay itself out again, and the document would carry that
// as a change into the next edit, however far away, and have every block in between laid out
// again; it is settled here, for the blocks on screen alone, with the signals of the document
// and its layout held back, since no text has changed and the paint under way shows the colours.
std::pair<int, int> HtmlColoring::visibleBlocks() const
{
    const int first = editor_->cursorForPosition(QPoint(0, 0)).blockNumber();
    const int last =
        editor_->cursorForPosition(QPoint(0, editor_->viewport()->height())).blockNumber();
    return {first, last};
}

void HtmlColoring::colourVisibleBlocks()
{
    QTextDocument* doc = editor_->document();
    const auto [firstNumber, lastNumber] = visibleBlocks();
    const Coloured screen{firstNumber, lastNumber, editor_->palette().cacheKey()};
    if (screen == coloured_)
        return;
    coloured_ = screen;
    const QTextBlock first = doc->findBlockByNumber(firstNumber);
    const QTextBlock last = doc->findBlockByNumber(lastNumber);
    if (enabled_ && !settle(firstNumber, paintBudgetMs))
        waitingFor_ = firstNumber;     // coloured from an assumed start for now
    changedFirst_ = changedLast_ = -1; // this paint shows the states settled so far
    const QPalette palette = editor_->palette();
    HtmlState state = startOf(first);
    bool changed = false;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        QTextLayout* layout = block.layout();
        const document::HtmlLine line = paintedLine(block, state, block.blockNumber() < settled_);
        if (layout->preeditAreaText().isEmpty()) {
            const auto formats =
                enabled_ ? formatsOf(line, palette) : QList<QTextLayout::FormatRange>();
            if (layout->formats() != formats) {
                layout->setFormats(formats);
                changed = true;
            }
        }
        state = line.end;
        if (block == last)
            break;
    }
    if (changed) {
        const QSignalBlocker quiet(doc);
        const QSignalBlocker quietLayout(doc->documentLayout()); // this paint shows them already
        doc->markContentsDirty(first.position(),
                               last.position() + last.length() - first.position());
    }
}

void HtmlColoring::settleInBackground()
{
    if (!enabled_)
        return;
    const bool done = settle(editor_->document()->blockCount(), sliceMs);
    // A block's end state is where the next one starts: a change from the block above the
    // screen to the last but one on it changes colours on screen.
    const auto [first, last] = visibleBlocks();
    const bool screenChanged =
        changedFirst_ >= 0 && changedFirst_ < last && changedLast_ >= first - 1;
    changedFirst_ = changedLast_ = -1;
    if (screenChanged || (waitingFor_ >= 0 && settled_ >= waitingFor_)) {
        waitingFor_ = -1;
        coloured_ = {};
        editor_->viewport()->update();
    }
    if (!done)
        background_.start();
}
