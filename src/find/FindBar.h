#pragma once

#include "find/FoldedDocument.h"
#include "find/StatusLabel.h"
#include "text/TextSearch.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Find and replace for one editor, in a bar under it rather than a window, so the writer can
// go on typing while it is open. The bar says what happened (not found, wrapped around, how
// many were replaced) in its status label, never in a message box.
class FindBar : public QWidget {
    Q_OBJECT
public:
    FindBar(const char* name, QPlainTextEdit* editor, QWidget* parent);

    // Shows the bar (the replace row only for replacing) and gives the focus to the find
    // field, filled with the editor's selection when that is one line.
    void openFind();
    void openReplace();
    // Selects the next or previous match, from the selection or the caret, going round the
    // end (or the start) of the text once. The focus stays where it is.
    void findNext();
    void findPrevious();
    // Replaces the selection when it is a match (or, for a match of empty text, the caret where
    // the last search left it), then selects the next match.
    void replaceOne();
    // Replaces every match in the text as one undo step. In regular-expression mode the
    // replacement's \1..\9 and $1..$9 are the groups' text, \\ and $$ a backslash and a dollar.
    void replaceAll();
    // Hides the bar and gives the focus back to the editor.
    void closeBar();

    QLineEdit* FindEdit;
    QLineEdit* ReplaceEdit;
    QCheckBox* MatchCaseCheck;
    QCheckBox* WidthCheck;
    QCheckBox* KanaCheck;
    QCheckBox* RegexCheck;
    QPushButton* FindPrevBtn;
    QPushButton* FindNextBtn;
    QPushButton* ReplaceBtn;
    QPushButton* ReplaceAllBtn;
    QPushButton* CloseBarBtn;
    StatusLabel* FindStatus;

private:
    QLayout* createFindRow();
    QLayout* createOptionRow();
    QWidget* createReplaceRow();
    void open(bool replacing);
    // The search of the find field under the options; says so in the bar when it cannot run.
    std::optional<text::TextSearch> search();
    text::SearchOptions options() const;
    // Folds the editor's text for the options now set, ahead of the first search.
    void prepareText();
    void find(bool forward);
    void select(text::TextRange range);
    // The replacement of `match` in the text as the search folded it.
    QString replacementFor(const text::TextSearch& search, const text::FoldedText& text,
                           text::TextRange match);
    void say(const QString& status);

    QPlainTextEdit* editor_;
    QWidget* replaceRow_;
    FoldedDocument* folded_;
    text::TextRange lastFound_; // the last match selected, which may be empty
};
