// Times find and replace through the find bar on the generated 50 MB diary shown in a
// QPlainTextEdit: folding the text when an option changes, find next from the top to a match
// near the end, the same after a character was typed halfway down, and replace all of 10,000
// matches with its repaint, against the other way of doing it in one undo step (the new text
// built in one pass, then put in place of the whole text).
//
// Usage: find_bench [megabytes] [matches]   (runs offscreen)

#include "FindWindow.h"
#include "platform/EditorText.h"
#include "text/TextSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

const QString everyNthLine = QStringLiteral("置換する語");
const QString nearTheEnd = QStringLiteral("最後の目印");

// The diary with `matches` lines starting with the word to replace, spread evenly, and one
// line near the end holding the word to find.
QString markedDiary(qsizetype megabytes, int matches)
{
    QStringList lines = markedLines(megabytes, matches, everyNthLine, 0);
    lines[lines.size() - 3].append(nearTheEnd);
    return lines.join(QStringLiteral("\r\n"));
}

void caretToTop(QPlainTextEdit* editor)
{
    editor->moveCursor(QTextCursor::Start);
}

// A character typed halfway down, as the writer would between two searches.
void typeInTheMiddle(QPlainTextEdit* editor)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(editor->document()->characterCount() / 2);
    cursor.insertText(QStringLiteral("あ"));
    QApplication::processEvents();
}

double timed(const std::function<void()>& run)
{
    const auto start = Timer::now();
    run();
    QApplication::processEvents();
    return msSince(start);
}

struct OptionSet {
    const char* name;
    bool matchCase, width, kana, regex;
};

// Replace all as one edit of the whole text: the new text built in one pass over the matches.
void replaceWholeText(QPlainTextEdit* editor, const QString& pattern, const QString& with)
{
    const QString raw = editor->document()->toRawText();
    const text::TextSearch search(pattern, {});
    const QList<text::TextRange> matches = search.all(text::FoldedText(raw, search.folding()));
    QString result;
    result.reserve(raw.size() + matches.size() * (with.size() - pattern.size()));
    qsizetype done = 0;
    for (const text::TextRange& m : matches) {
        result.append(QStringView(raw).mid(done, m.start - done)).append(with);
        done = m.end;
    }
    result.append(QStringView(raw).mid(done));
    QTextCursor cursor(editor->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(result);
    cursor.endEditBlock();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int matches = argc > 2 ? std::atoi(argv[2]) : 10000;

    FindWindow shown(QBoxLayout::TopToBottom, QSize(800, 600));
    QPlainTextEdit* editor = shown.editor;
    FindBar* bar = shown.bar;
    const QString diary = markedDiary(megabytes, matches);
    setEditorText(editor, diary);
    QApplication::processEvents();
    std::printf("diary: %.1f MB as code page 932, %lld UTF-16 units\n",
                double(text::cp932Length(diary)) / (1024 * 1024), qlonglong(diary.size()));

    bar->openReplace();
    bar->FindEdit->setText(nearTheEnd);
    const OptionSet sets[] = {{"no options (case folded)", false, false, false, false},
                              {"match case (text unfolded)", true, false, false, false},
                              {"width + kana folded", false, true, true, false},
                              {"regular expression", false, false, false, true}};
    std::printf("find next from the top to a match near the end (goal 100 ms):\n");
    for (const OptionSet& set : sets) {
        bar->MatchCaseCheck->setChecked(set.matchCase);
        bar->WidthCheck->setChecked(set.width);
        bar->KanaCheck->setChecked(set.kana);
        bar->RegexCheck->setChecked(set.regex);
        // The bar folds the text once an option changes (or it opens), before any search.
        const double prepared = timed([] {});
        caretToTop(editor);
        const double find = timed([&] { bar->findNext(); });
        if (editor->textCursor().selectedText() != nearTheEnd)
            return 1;
        typeInTheMiddle(editor);
        caretToTop(editor);
        const double afterEdit = timed([&] { bar->findNext(); });
        if (editor->textCursor().selectedText() != nearTheEnd)
            return 1;
        std::printf("  %-28s folded %6.1f ms   find %5.1f ms   after typing %5.1f ms\n", set.name,
                    prepared, find, afterEdit);
    }

    bar->MatchCaseCheck->setChecked(false);
    bar->WidthCheck->setChecked(false);
    bar->KanaCheck->setChecked(false);
    bar->RegexCheck->setChecked(false);
    bar->FindEdit->setText(everyNthLine);
    bar->ReplaceEdit->setText(QStringLiteral("置換後"));
    const double inPlace = timed([&] { bar->replaceAll(); });
    if (editor->document()->toRawText().count(QStringLiteral("置換後")) != matches)
        return 1;
    const double undoInPlace = timed([&] { editor->undo(); });
    const double wholeText =
        timed([&] { replaceWholeText(editor, everyNthLine, QStringLiteral("置換後")); });
    const double undoWholeText = timed([&] { editor->undo(); });
    std::printf("replace all of %d matches (goal 1 s):\n", matches);
    std::printf("  each match in one edit block  %7.1f ms   undo %7.1f ms\n", inPlace, undoInPlace);
    std::printf("  whole text in one edit block  %7.1f ms   undo %7.1f ms\n", wholeText,
                undoWholeText);
    return 0;
}
