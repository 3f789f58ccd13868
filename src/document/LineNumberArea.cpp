#include "document/LineNumberArea.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <limits>

namespace {

constexpr int padding = 4;
// Room for this many digits from the start: a diary of a million lines or more then opens
// without the margin widening. A change of the editor's width makes Qt give every line of the
// document a layout of its own again (some 300 MB and half a second for a 50 MB diary).
constexpr int reservedDigits = 7;

} // namespace

LineNumberArea::LineNumberArea(QPlainTextEdit* editor, QWidget* parent)
    : QWidget(parent), editor_(editor)
{
    setObjectName(QStringLiteral("LineNumbers"));
    setAccessibleName(QStringLiteral("行番号"));
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFont(editor->font());
    digits_ = digits();
    connect(editor, &QPlainTextEdit::updateRequest, this, [this] { update(); });
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        update();
        describeCurrentLine();
    });
    connect(editor, &QPlainTextEdit::blockCountChanged, this, [this] {
        describeCurrentLine();
        if (digits() != digits_) {
            digits_ = digits();
            updateGeometry();
        }
    });
    describeCurrentLine();
}

// Only a change is set: a screen reader is told of every new description.
void LineNumberArea::describeCurrentLine()
{
    const QString description = QStringLiteral("%1 行目（全 %2 行）")
                                    .arg(editor_->textCursor().blockNumber() + 1)
                                    .arg(editor_->blockCount());
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
}

int LineNumberArea::digits() const
{
    return int(QString::number(editor_->blockCount()).size());
}

QSize LineNumberArea::sizeHint() const
{
    const int width =
        fontMetrics().horizontalAdvance(u'9') * std::max(digits_, reservedDigits) + 2 * padding;
    return {width, 0};
}

void LineNumberArea::paintEvent(QPaintEvent* /*event*/)
{
    if (font() != editor_->font()) {
        setFont(editor_->font());
        updateGeometry();
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::AlternateBase));
    const QWidget* view = editor_->viewport();
    const int top = mapFromGlobal(view->mapToGlobal(QPoint(0, 0))).y();
    const int current = editor_->textCursor().blockNumber();
    painter.setClipRect(QRect(0, top, width(), view->height()));

    for (QTextBlock block = editor_->cursorForPosition(QPoint(0, 0)).block(); block.isValid();
         block = block.next()) {
        const QRect line = editor_->cursorRect(QTextCursor(block));
        if (line.top() > view->height())
            break;
        const QRect row(0, top + line.top(), width(), line.height());
        const bool isCurrent = block.blockNumber() == current;
        if (isCurrent)
            painter.fillRect(row, palette().color(QPalette::Highlight));
        painter.setPen(
            palette().color(isCurrent ? QPalette::HighlightedText : QPalette::PlaceholderText));
        painter.drawText(row.adjusted(padding, 0, -padding, 0), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(block.blockNumber() + 1));
    }
}

void goToLine(QPlainTextEdit* editor, int line)
{
    const int number = std::clamp(line, 1, editor->blockCount()) - 1;
    QTextCursor cursor(editor->document()->findBlockByNumber(number));
    editor->setTextCursor(cursor);
    editor->centerCursor();
}

std::optional<int> typedLineNumber(const QString& typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    qint64 number = 0;
    for (const QChar c : text) {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (c >= u'\uFF10' && c <= u'\uFF19')
            digit = c.unicode() - u'\uFF10';
        if (digit < 0)
            return std::nullopt;
        number = std::min<qint64>(number * 10 + digit, std::numeric_limits<int>::max());
    }
    return int(number);
}
