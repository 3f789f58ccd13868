#include "recovery/TextSnapshot.h"

#include "text/LineEnds.h"

#include <QTextDocument>

void TextSnapshot::start(const QTextDocument* document)
{
    text_.clear();
    // Each line break grows from one character to two.
    text_.reserve(document->characterCount() + document->blockCount());
    block_ = document->begin();
    first_ = true;
}

bool TextSnapshot::step(const QDeadlineTimer& deadline)
{
    do {
        if (!block_.isValid())
            return true;
        if (!first_)
            text_ += QStringLiteral("\r\n");
        first_ = false;
        const QString line = block_.text();
        // A line separator inside a line is a line break of its own.
        text_ += line.contains(QChar::LineSeparator) ? text::fromEditorText(line) : line;
        block_ = block_.next();
    } while (!deadline.hasExpired());
    return !block_.isValid();
}

QString TextSnapshot::take()
{
    return std::exchange(text_, QString());
}
