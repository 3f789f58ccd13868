#pragma once

#include "document/HtmlTokens.h"

#include <QList>
#include <QObject>

class QTextBlock;
class QTextDocument;

// The part of a diary the preview shows: the page's head, for its style sheets, and whole lines
// around the cursor's, from a line that starts outside tags and comments, so that the engine
// reads them as a browser reads the whole file there. What each line starts in depends on every
// line above it; the states at the start of every 4096th line are kept, and an edit forgets those
// after it.
class DiaryExcerpt : public QObject {
    Q_OBJECT
public:
    explicit DiaryExcerpt(QTextDocument* document);

    // The lines from the last one at or above `before` lines over the cursor's line that starts
    // in text, through `after` lines below the cursor's, as one LF text; when they start below
    // the page's <body> tag, the lines through that tag's come first. An empty anchor named
    // `anchor` starts the cursor's line when that line starts in text.
    QString around(const QTextBlock& cursorLine, int before, int after, const QString& anchor);

private:
    void contentsChange(int position, int removed, int added);
    // The state at the start of the line numbered `mark` * markSpacing.
    document::HtmlState markAt(int mark);
    // The last line at or above `line` that starts in text.
    int textStartAtOrAbove(int line);
    // The line of the page's <body> tag when it ends in text; -1 when the first lines hold none.
    int bodyTagLine() const;
    QString lines(int first, int last, const QTextBlock& cursorLine, const QString& anchor) const;

    QTextDocument* document_;
    QList<document::HtmlState> marks_{document::HtmlState::Text};
};
