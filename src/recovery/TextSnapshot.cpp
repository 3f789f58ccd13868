#include "recovery/TextSnapshot.h"

#include "text/LineEnds.h"

#include <QTextBlock>
#include <QTextDocument>

void TextSnapshot::start(const QTextDocument* document)
{
    document_ = document;
    text_.clear();
    // Each line break grows from one character to two.
    text_.reserve(document->characterCount() + document->blockCount());
    unreadFrom_ = 0;
    done_ = false;
    first_ = true;
}

bool TextSnapshot::step(const QDeadlineTimer& deadline)
{
    if (done_)
        return true;
    QTextBlock block = document_->findBlock(unreadFrom_);
    if (block.position() != unreadFrom_) { // not a line start: never after noteChange
        start(document_);
        block = document_->begin();
    }
    do {
        if (!first_)
            text_ += QStringLiteral("\r\n");
        first_ = false;
        const QString line = block.text();
        // A line separator inside a line is a line break of its own.
        text_ += line.contains(QChar::LineSeparator) ? text::fromEditorText(line) : line;
        block = block.next();
    } while (block.isValid() && !deadline.hasExpired());
    done_ = !block.isValid();
    unreadFrom_ = done_ ? 0 : block.position();
    return done_;
}

// A change among the lines still to read needs nothing: they are read as they are. A change
// inside lines already read leaves them as they were read, a moment older; the unread part
// moves with it. A change that removes the line break before the next line to read joins that
// line to one already read: the reading starts again.
void TextSnapshot::noteChange(const QTextDocument* document, int position, int removed, int added)
{
    if (document != document_ || done_ || position >= unreadFrom_)
        return;
    if (position + removed < unreadFrom_) {
        unreadFrom_ += added - removed;
        return;
    }
    start(document_);
}

QString TextSnapshot::take()
{
    document_ = nullptr;
    return std::exchange(text_, QString());
}
