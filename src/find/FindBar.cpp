#include "find/FindBar.h"

#include "find/StatusLabel.h"
#include "platform/Controls.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString notFound = QStringLiteral("見つかりません。");
const QString badExpression = QStringLiteral("正規表現が正しくありません。");
const QString wrappedToStart = QStringLiteral("先頭に戻って検索しました。");
const QString wrappedToEnd = QStringLiteral("末尾に戻って検索しました。");
const QString regexHint = QStringLiteral(
    "正規表現では、置換後の \\1～\\9 と $1～$9 が検索の ( ) に一致した文字列になります。"
    "\\ と $ そのものは \\\\ と $$ と書きます。^ や $ だけの検索で行の先頭や末尾に挿入できます。");

// A button as narrow as its caption allows: the style's usual minimum width for a push button
// would leave what the bar says too little room in a narrow window.
void fitToCaption(QPushButton* button)
{
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    button->setMaximumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin
                            + 8);
}

} // namespace

FindBar::FindBar(const char* name, QPlainTextEdit* editor, QWidget* parent)
    : QWidget(parent), editor_(editor), folded_(new FoldedDocument(editor->document(), this))
{
    setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(createFindRow());
    layout->addLayout(createOptionRow());
    layout->addWidget(createReplaceRow());
    hide();

    connect(FindEdit, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(ReplaceEdit, &QLineEdit::returnPressed, this, &FindBar::replaceOne);
    connect(FindNextBtn, &QPushButton::clicked, this, &FindBar::findNext);
    connect(FindPrevBtn, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(ReplaceBtn, &QPushButton::clicked, this, &FindBar::replaceOne);
    connect(ReplaceAllBtn, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(CloseBarBtn, &QPushButton::clicked, this, &FindBar::closeBar);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::closeBar);
    for (QCheckBox* check : {MatchCaseCheck, WidthCheck, KanaCheck, RegexCheck})
        connect(check, &QCheckBox::toggled, this, &FindBar::prepareText);
    // A focused button acts on Enter as on Space: the bar is no dialog, so no button of it is
    // the default one that Enter would press otherwise.
    for (QPushButton* button : {FindPrevBtn, FindNextBtn, ReplaceBtn, ReplaceAllBtn, CloseBarBtn})
        button->setAutoDefault(true);
}

QLayout* FindBar::createFindRow()
{
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    QLabel* label = makeFieldLabel(QStringLiteral("検索(&J)："), FindEdit, this);
    FindPrevBtn = makeButton("FindPrevBtn", QStringLiteral("前へ(&3)"),
                             QStringLiteral("前を検索します。(Shift+F3)"), this);
    FindNextBtn = makeButton("FindNextBtn", QStringLiteral("次へ(&4)"),
                             QStringLiteral("次を検索します。(F3)"), this);
    FindStatus = new StatusLabel("FindStatus", QStringLiteral("検索結果"), this);
    // What the bar says never widens the window: it gets the room that is left.
    FindStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    CloseBarBtn = makeButton("CloseBarBtn", QStringLiteral("×"),
                             QStringLiteral("検索バーを閉じます。(Esc)"), this);
    nameControl(CloseBarBtn, QStringLiteral("検索バーを閉じる"));

    for (QPushButton* button : {FindPrevBtn, FindNextBtn, CloseBarBtn})
        fitToCaption(button);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(FindEdit, 1);
    row->addWidget(FindPrevBtn);
    row->addWidget(FindNextBtn);
    row->addWidget(FindStatus, 1);
    row->addWidget(CloseBarBtn);
    return row;
}

QLayout* FindBar::createOptionRow()
{
    MatchCaseCheck =
        makeCaptioned<QCheckBox>("MatchCaseCheck", QStringLiteral("大文字/小文字を区別(&Q)"), this);
    WidthCheck =
        makeCaptioned<QCheckBox>("WidthCheck", QStringLiteral("全角/半角を同一視(&Z)"), this);
    KanaCheck =
        makeCaptioned<QCheckBox>("KanaCheck", QStringLiteral("かな/カナを同一視(&K)"), this);
    RegexCheck = makeCaptioned<QCheckBox>("RegexCheck", QStringLiteral("正規表現(&Y)"), this);
    RegexCheck->setToolTip(regexHint);
    auto* row = new QHBoxLayout;
    for (QCheckBox* check : {MatchCaseCheck, WidthCheck, KanaCheck, RegexCheck})
        row->addWidget(check);
    row->addStretch(1);
    return row;
}

QWidget* FindBar::createReplaceRow()
{
    replaceRow_ = new QWidget(this);
    ReplaceEdit = new QLineEdit(replaceRow_);
    ReplaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
    ReplaceEdit->setToolTip(regexHint);
    QLabel* label = makeFieldLabel(QStringLiteral("置換後(&2)："), ReplaceEdit, replaceRow_);
    ReplaceBtn =
        makeButton("ReplaceBtn", QStringLiteral("置換(&5)"),
                   QStringLiteral("選択中の一致を置き換えて、次を検索します。"), replaceRow_);
    ReplaceAllBtn = makeButton(
        "ReplaceAllBtn", QStringLiteral("すべて置換(&6)"),
        QStringLiteral("一致をすべて置き換えます。元に戻すと一度に戻ります。"), replaceRow_);
    auto* row = new QHBoxLayout(replaceRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(ReplaceEdit, 1);
    row->addWidget(ReplaceBtn);
    row->addWidget(ReplaceAllBtn);
    return replaceRow_;
}

void FindBar::openFind()
{
    open(false);
}

void FindBar::openReplace()
{
    open(true);
}

void FindBar::open(bool replacing)
{
    replaceRow_->setVisible(replacing);
    show();
    const QString selected = editor_->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        FindEdit->setText(RegexCheck->isChecked() ? QRegularExpression::escape(selected)
                                                  : selected);
    FindEdit->setFocus();
    FindEdit->selectAll();
    prepareText();
}

void FindBar::closeBar()
{
    hide();
    editor_->setFocus();
}

void FindBar::findNext()
{
    find(true);
}

void FindBar::findPrevious()
{
    find(false);
}

text::SearchOptions FindBar::options() const
{
    return {MatchCaseCheck->isChecked(), WidthCheck->isChecked(), KanaCheck->isChecked(),
            RegexCheck->isChecked()};
}

std::optional<text::TextSearch> FindBar::search()
{
    text::TextSearch search(FindEdit->text(), options());
    if (search.isValid())
        return search;
    say(FindEdit->text().isEmpty() ? QString() : badExpression);
    return std::nullopt;
}

// Folding a large diary takes a moment: it is done once the bar has been drawn, while the
// writer types what to find, rather than at the first search. Later edits refold only their lines.
void FindBar::prepareText()
{
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            folded_->text(text::TextSearch(QString(), options()).folding());
    });
}

// Searching with an empty find field opens the bar to ask for the text.
void FindBar::find(bool forward)
{
    if (FindEdit->text().isEmpty()) {
        openFind();
        return;
    }
    show();
    const std::optional<text::TextSearch> search = this->search();
    if (!search)
        return;
    const text::FoldedText& text = folded_->text(search->folding());
    const QTextCursor cursor = editor_->textCursor();
    // Going on from a match (or from the caret an empty match left) never finds an empty
    // match at the same place again.
    text::TextRange match =
        forward ? search->next(text, cursor.selectionEnd(), text::EmptyAtStart::Skipped)
                : search->previous(text, cursor.selectionStart());
    QString status;
    if (!match.isFound()) {
        match = forward ? search->next(text, 0)
                        : search->previous(text, editor_->document()->characterCount());
        status = forward ? wrappedToStart : wrappedToEnd;
    }
    if (!match.isFound()) {
        say(notFound);
        return;
    }
    select(match);
    say(status);
}

void FindBar::select(text::TextRange range)
{
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(range.start);
    cursor.setPosition(range.end, QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor); // also scrolls it into view
    lastFound_ = range;
}

void FindBar::replaceOne()
{
    const std::optional<text::TextSearch> search = this->search();
    if (!search || editor_->isReadOnly())
        return;
    QTextCursor cursor = editor_->textCursor();
    const text::TextRange selected{cursor.selectionStart(), cursor.selectionEnd()};
    const text::FoldedText& text = folded_->text(search->folding());
    if ((cursor.hasSelection() || selected == lastFound_)
        && search->next(text, selected.start) == selected) {
        cursor.insertText(replacementFor(*search, text, selected));
        editor_->setTextCursor(cursor);
    }
    findNext();
}

QString FindBar::replacementFor(const text::TextSearch& search, const text::FoldedText& text,
                                text::TextRange match)
{
    const QString replacement = ReplaceEdit->text();
    if (!search.expandsReplacement(replacement))
        return replacement;
    return search.replacementFor(text, editor_->document()->toRawText(), match, replacement);
}

// Each match is replaced in place, from the last to the first so that the offsets still to
// come stay valid, inside one edit block: one undo step, and the editor lays out its text once.
void FindBar::replaceAll()
{
    const std::optional<text::TextSearch> search = this->search();
    if (!search || editor_->isReadOnly())
        return;
    const text::FoldedText& text = folded_->text(search->folding());
    const QList<text::TextRange> matches = search->all(text);
    if (matches.isEmpty()) {
        say(notFound);
        return;
    }
    // The replacements are worked out before the first edit, while the folded text and the
    // original still agree.
    const QString replacement = ReplaceEdit->text();
    const bool expands = search->expandsReplacement(replacement);
    const QString original = expands ? editor_->document()->toRawText() : QString();
    QStringList replacements;
    for (const text::TextRange& match : matches)
        replacements << (expands ? search->replacementFor(text, original, match, replacement)
                                 : replacement);
    QTextCursor cursor(editor_->document());
    cursor.beginEditBlock();
    for (qsizetype i = matches.size() - 1; i >= 0; --i) {
        cursor.setPosition(int(matches[i].start));
        cursor.setPosition(int(matches[i].end), QTextCursor::KeepAnchor);
        cursor.insertText(replacements[i]);
    }
    cursor.endEditBlock();
    say(QStringLiteral("%1 件置換しました。").arg(matches.size()));
}

void FindBar::say(const QString& status)
{
    FindStatus->say(status);
}
