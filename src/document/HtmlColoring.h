#pragma once

#include "document/HtmlTokens.h"

#include <QColor>
#include <QObject>
#include <QTimer>

#include <utility>

class QPalette;
class QPlainTextEdit;
class QTextBlock;

// Colours the HTML of an editor's text: tags, attribute names and values, comments and
// character references, each in a colour of its own; the font stays the editor's.
//
// Only the lines on screen are coloured, just before the editor paints them, through the
// formats of their text layouts, so the document itself never changes and a large diary opens
// as fast as without colours. What a line starts in (inside a comment, a tag or a quoted value)
// depends on every line above it; each line's end state is kept in the line's block
// (QTextBlock::userState) and brought up to date lazily: an edit makes the lines from the
// edited one onward uncertain, and the walk that settles them stops as soon as a line past the
// edit ends in the state it ended in before. The rest of the document is settled in short
// slices while the program is idle; when a slice changes where a line on screen starts (an
// edit above the screen that opens or closes a comment), the screen is painted again.
class HtmlColoring : public QObject {
    Q_OBJECT
public:
    explicit HtmlColoring(QPlainTextEdit* editor);

    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }
    // Every block holds its right end state.
    bool isSettled() const;

    // The colour of each kind on a palette: dark colours on a light base, light ones on a dark
    // base.
    static QColor colourOf(document::HtmlTokenKind kind, const QPalette& palette);

    // A line longer than this (in UTF-16 units) is shown without colours, so that a line of
    // any length costs no more than a screenful.
    static constexpr int colouredLength = 8192;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void contentsChange(int position, int removed, int added);
    // Settles the end states of the blocks before `target`; false when the time ran out first.
    bool settle(int target, int budgetMs);
    document::HtmlState startOf(const QTextBlock& block) const;
    void colourVisibleBlocks();
    void settleInBackground();
    // The numbers of the first and the last block on screen.
    std::pair<int, int> visibleBlocks() const;

    QPlainTextEdit* editor_;
    bool enabled_ = true;
    int blockCount_ = 1;
    int settled_ = 0;      // blocks before this one hold their right end state
    int editEnd_ = -1;     // the last block of the edits not yet walked past
    int knownSettled_ = 0; // before the edits, blocks up to here held their right end state
    int waitingFor_ = -1;  // a block painted before its start was settled
    // The first and last block whose end state the settling changed since the last paint.
    int changedFirst_ = -1;
    int changedLast_ = -1;
    // The blocks the last paint coloured, and the palette it used: a paint of the same screen
    // with nothing changed since (the cursor's blink) colours nothing again. Cleared by every
    // change of the text, of the end states on screen or of the colouring's switch.
    struct Coloured {
        int first = -1;
        int last = -1;
        qint64 palette = 0;
        bool operator==(const Coloured&) const = default;
    };
    Coloured coloured_;
    QTimer background_;
};
