#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QTextBlock>

class QTextDocument;

// Reads the whole text of an editor's document a slice at a time, in the program's CR LF form
// (the same text as editorText), so that a long document never holds up the event loop for
// more than one slice. The document must not change between start() and the last step().
class TextSnapshot {
public:
    void start(const QTextDocument* document);
    // Reads whole lines until the deadline has passed (at least one line); true once the whole
    // text has been read.
    bool step(const QDeadlineTimer& deadline);
    // The text read; the snapshot is empty again afterwards.
    QString take();

private:
    QTextBlock block_;
    bool first_ = true;
    QString text_;
};
