#pragma once

#include <QObject>
#include <QStringView>

class QPlainTextEdit;

// Shows an editor's lines broken at its width while its document holds a line of more than
// `longLine` characters, and each line on one row otherwise. Qt lays a line out whole at every
// change; unbroken, it is one row as wide as the line, which every paint of the blinking cursor,
// every scroll to the cursor and every hit of the mouse walks from its start. Broken into rows,
// a paint draws the rows on screen alone, and each long line keeps what its layout worked out
// instead of working it out again at each paint. While the lines are broken, the editor's font
// also skips the shaping rules Latin and Japanese text can do without, which halves the time Qt
// takes to lay the long line out again at each key. Only the display changes: the text, the
// cursor's place in it, the selection, undo and what is saved are those of the one long line.
class LongLineWrap : public QObject {
    Q_OBJECT
public:
    explicit LongLineWrap(QPlainTextEdit* editor);

    static constexpr int longLine = 10000;

    // Shows the lines as `text` (lines ending in LF) needs before it replaces the editor's
    // text, so that the new text is laid out once, in the display it needs.
    void prepareFor(QStringView text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void contentsChange(int position, int removed, int added);
    // Whether a line from `from` to `to` is long; each long one keeps its layout's details.
    bool keepLongLines(int from, int to) const;
    void setOn(bool on);
    void applyFontStrategy();

    QPlainTextEdit* editor_;
    bool on_ = false;
};
