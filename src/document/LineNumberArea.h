#pragma once

#include <QWidget>

#include <optional>

class QPlainTextEdit;

// The strip beside an editor that numbers its lines (the editor's own lines, not the rows a
// long line wraps into) and marks the line the cursor is on. It follows the editor's scrolling.
// A screen reader hears the cursor's line and the number of lines as its description.
class LineNumberArea : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberArea(QPlainTextEdit* editor, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int digits() const;
    // Tells a screen reader which line the cursor is on, as the strip's description.
    void describeCurrentLine();

    QPlainTextEdit* editor_;
    int digits_ = 0;
};

// Puts the cursor at the start of line `line` (from 1; clamped to the editor's lines) and
// scrolls it to the middle of the view.
void goToLine(QPlainTextEdit* editor, int line);

// The line number the writer typed: ASCII or full-width digits ("１２３", as an input method
// types them), blanks around them allowed. A number beyond any line is taken as INT_MAX;
// nothing when the text is not a number.
std::optional<int> typedLineNumber(const QString& typed);
