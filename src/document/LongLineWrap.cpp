#include "document/LongLineWrap.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

LongLineWrap::LongLineWrap(QPlainTextEdit* editor) : QObject(editor), editor_(editor)
{
    connect(editor->document(), &QTextDocument::contentsChange, this,
            &LongLineWrap::contentsChange);
    editor->installEventFilter(this);
    setOn(keepLongLines(0, editor->document()->characterCount()));
}

void LongLineWrap::prepareFor(QStringView text)
{
    bool long_ = false;
    for (qsizetype start = 0; start < text.size() && !long_;) {
        const qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end;
        long_ = next - start >= longLine;
        start = next + 1;
    }
    if (long_ == on_)
        return;
    editor_->document()->clear(); // the old text is not laid out again for the new display
    setOn(long_);
}

// A new text is looked at whole, so that opening another diary shows it unbroken again; an edit
// only breaks the lines when it made one of its lines long. Emptied (as a new text first empties
// the document), the editor keeps its display for the text that comes.
void LongLineWrap::contentsChange(int position, int /*removed*/, int added)
{
    const QTextDocument* document = editor_->document();
    if (document->isEmpty())
        return;
    const bool wholeText = position == 0 && added >= document->characterCount() - 1;
    const bool long_ = keepLongLines(position, position + added);
    if (wholeText || long_)
        setOn(long_);
}

// Qt throws a line's runs, glyphs and character classes away once it has laid the line out,
// and works them out again, over the whole line, for every paint of the cursor and every hit
// of the mouse; a long line keeps them.
bool LongLineWrap::keepLongLines(int from, int to) const
{
    const QTextDocument* document = editor_->document();
    const QTextBlock last = document->findBlock(std::min(to, document->characterCount() - 1));
    bool found = false;
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        if (block.length() > longLine) {
            block.layout()->setCacheEnabled(true);
            found = true;
        }
        if (block == last)
            break;
    }
    return found;
}

void LongLineWrap::setOn(bool on)
{
    if (on == on_)
        return;
    on_ = on;
    applyFontStrategy();
    // Anywhere, not at word boundaries first: Qt looks for a word's end from every row of a word
    // without one (a line of megabytes of letters), which takes the square of its length.
    editor_->setWordWrapMode(on ? QTextOption::WrapAnywhere
                                : QTextOption::WrapAtWordBoundaryOrAnywhere);
    editor_->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

// A font set on the editor later (the writer's settings) keeps the strategy of the display.
bool LongLineWrap::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FontChange && watched == editor_)
        applyFontStrategy();
    return QObject::eventFilter(watched, event);
}

void LongLineWrap::applyFontStrategy()
{
    const QFont::StyleStrategy strategy = on_ ? QFont::PreferNoShaping : QFont::PreferDefault;
    if (editor_->font().styleStrategy() == strategy)
        return;
    QFont font = editor_->font();
    font.setStyleStrategy(strategy);
    editor_->setFont(font);
}
