#pragma once

#include <QDeadlineTimer>
#include <QString>

class QTextDocument;

// Reads the whole text of an editor's document a slice at a time, in the program's CR LF form
// (the same text as editorText), so that a long document never holds up the event loop for
// more than one slice. The writer may go on typing meanwhile: each line is read whole as it is
// when its turn comes, so the text is at most as old as the start of the reading, line by line.
// Every change of the document must be reported through noteChange while a reading runs.
class TextSnapshot {
public:
    void start(const QTextDocument* document);
    // Reads whole lines until the deadline has passed (at least one line); true once the whole
    // text has been read.
    bool step(const QDeadlineTimer& deadline);
    // A change of the document being read, as QTextDocument::contentsChange reports it.
    void noteChange(const QTextDocument* document, int position, int removed, int added);
    // The text read; the snapshot is empty again afterwards.
    QString take();

private:
    const QTextDocument* document_ = nullptr;
    // Where the next line to read starts. A position, not a QTextBlock: a block kept across
    // the writer's edits may be one the edit took away.
    int unreadFrom_ = 0;
    bool done_ = false;
    bool first_ = true;
    QString text_;
};
