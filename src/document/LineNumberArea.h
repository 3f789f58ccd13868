#pragma once

#include <QWidget>

class QPlainTextEdit;

// The strip beside an editor that numbers its lines (the editor's own lines, not the rows a
// long line wraps into) and marks the line the cursor is on. It follows the editor's scrolling.
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

    QPlainTextEdit* editor_;
    int digits_ = 0;
};

// Puts the cursor at the start of line `line` (from 1; clamped to the editor's lines) and
// scrolls it to the middle of the view.
void goToLine(QPlainTextEdit* editor, int line);
