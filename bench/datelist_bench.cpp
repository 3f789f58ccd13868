// Times the list of entries by date on the generated 50 MB diary shown in a QPlainTextEdit: the
// first reading after the diary is opened (in all, and its longest slice), a keystroke in a
// body and in a date line with the panel shown, against the same keystroke without it, the
// panel following the cursor to entries all over the diary, and replace all of 10,000 matches
// through the find bar with and without the list following, each from the same undo history,
// after two rounds to warm up. Each is also given in processor time, which a busy machine
// does not stretch.
//
// Usage: datelist_bench [megabytes] [matches]   (runs offscreen)

#include "FindWindow.h"
#include "datelist/DateIndex.h"
#include "datelist/DateListPanel.h"
#include "platform/EditorText.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

const QString word = QStringLiteral("置換する語");
const datelist::EntryMarks marks = {QStringLiteral("<font color=\"#ff0000\"><b>"),
                                    QStringLiteral("<BR><STRONG><font color=\"#008000\">"),
                                    QStringLiteral("</font></STRONG>"),
                                    {}};

QString markedDiary(qsizetype megabytes, int matches)
{
    // A body line, never a date line.
    return markedLines(megabytes, matches, word, 1).join(QStringLiteral("\r\n"));
}

// Processor time of this thread, the user interface's, so far: on a busy shared machine it
// says more than the clock, which counts the time the other programs had the processor too.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

// Runs the events until the index has read the text; the longest single round of events.
// `total` is the time it took by the clock, `cpu` by the processor.
double settle(DateIndex& index, double& total, double& cpu)
{
    const auto start = Timer::now();
    const double cpuStart = cpuMs();
    double longest = 0;
    do {
        const auto round = Timer::now();
        QApplication::processEvents();
        longest = std::max(longest, msSince(round));
    } while (!index.isCurrent());
    total = msSince(start);
    cpu = cpuMs() - cpuStart;
    return longest;
}

// The worst of a few keystrokes at the line, each with the events that follow it: by the clock
// and by the processor.
struct Keystroke {
    double wall = 0;
    double cpu = 0;
};

Keystroke worstKeystroke(QPlainTextEdit* editor, int line)
{
    Keystroke worst;
    for (int i = 0; i < 20; ++i) {
        QTextCursor cursor(editor->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor->setTextCursor(cursor);
        const auto start = Timer::now();
        const double cpuStart = cpuMs();
        editor->textCursor().insertText(QStringLiteral("あ"));
        QApplication::processEvents();
        QApplication::processEvents();
        worst.wall = std::max(worst.wall, msSince(start));
        worst.cpu = std::max(worst.cpu, cpuMs() - cpuStart);
    }
    return worst;
}

double replaceAll(QPlainTextEdit* editor, FindBar* bar, const QString& from, const QString& to)
{
    bar->FindEdit->setText(from);
    bar->ReplaceEdit->setText(to);
    editor->document()->clearUndoRedoStacks(); // each replace-all starts from the same history
    const auto start = Timer::now();
    bar->replaceAll();
    QApplication::processEvents();
    const double ms = msSince(start);
    if (editor->document()->toRawText().count(to) == 0)
        std::exit(1);
    return ms;
}

// The times the panel takes to follow the cursor to an entry, with the events that follow, for
// entries spread over the whole diary: the first (which opens the entry's month in the tree),
// then the median and the worst of the others, and the median of their processor times.
std::array<double, 4> follow(DateListPanel* panel, DateIndex& index)
{
    const QList<DiaryEntry>& entries = index.readEntries();
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int i = 0; i < 51; ++i) {
        const int position = entries[qsizetype(i) * entries.size() / 51].position + 10;
        const auto start = Timer::now();
        const double cpuStart = cpuMs();
        panel->followPosition(position);
        QApplication::processEvents();
        times.push_back(msSince(start));
        cpuTimes.push_back(cpuMs() - cpuStart);
    }
    std::sort(times.begin() + 1, times.end());
    std::sort(cpuTimes.begin() + 1, cpuTimes.end());
    return {times[0], times[26], times.back(), cpuTimes[26]};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int matches = argc > 2 ? std::atoi(argv[2]) : 10000;

    FindWindow shown(QBoxLayout::LeftToRight, QSize(1000, 700));
    QWidget& window = shown.window;
    QPlainTextEdit* editor = shown.editor;
    FindBar* bar = shown.bar;
    setEditorText(editor, markedDiary(megabytes, matches));
    QApplication::processEvents();
    bar->openReplace();

    worstKeystroke(editor, 1001); // the first keystrokes lay out the lines around
    const Keystroke bodyAlone = worstKeystroke(editor, 1001);
    for (int warm = 0; warm < 2; ++warm) {
        replaceAll(editor, bar, word, QStringLiteral("置換後"));
        replaceAll(editor, bar, QStringLiteral("置換後"), word);
    }
    const double replaceAlone = replaceAll(editor, bar, word, QStringLiteral("置換後"));
    replaceAll(editor, bar, QStringLiteral("置換後"), word);

    auto* index = new DateIndex(editor->document(), marks, &window);
    double total = 0;
    double cpu = 0;
    const double slice = settle(*index, total, cpu);
    std::printf("diary: %d lines, %lld entries\n", editor->blockCount(),
                qlonglong(index->readEntries().size()));
    std::printf("first reading: %.1f ms in all (%.1f ms of processor time), longest round of "
                "events %.1f ms (goal 16 ms)\n",
                total, cpu, slice);
    auto* panel = new DateListPanel(index, &window);
    shown.layout->addWidget(panel);
    QApplication::processEvents();
    worstKeystroke(editor, 1001); // the first keystrokes lay out the narrower lines again
    const Keystroke body = worstKeystroke(editor, 1001);
    const Keystroke date = worstKeystroke(editor, 1200); // a date line: its entry is read again
    // A digit typed into a date: the entry goes from the list, which the panel shows at once.
    QTextCursor cursor(editor->document()->findBlockByNumber(1206));
    cursor.setPosition(cursor.position() + int(marks.dateStart.size()));
    auto start = Timer::now();
    cursor.insertText(QStringLiteral("1"));
    settle(*index, total, cpu);
    const double listChange = msSince(start);
    std::printf("keystroke, worst of 20 (goal 16 ms): in a body %.1f ms without the list, "
                "%.1f ms with the panel; at a date line %.1f ms with the panel\n",
                bodyAlone.wall, body.wall, date.wall);
    std::printf("  the same by processor time: %.1f ms, %.1f ms; %.1f ms\n", bodyAlone.cpu,
                body.cpu, date.cpu);
    std::printf("keystroke that takes an entry out of the list, with the panel: %.1f ms\n",
                listChange);
    const auto [firstFollow, medianFollow, worstFollow, medianCpu] = follow(panel, *index);
    std::printf("following the cursor to an entry (goal 2 ms): %.2f ms the first time, then "
                "%.2f ms median (%.2f ms of processor time), %.2f ms worst of 50\n",
                firstFollow, medianFollow, medianCpu, worstFollow);
    const double replaceWith = replaceAll(editor, bar, word, QStringLiteral("置換後"));
    settle(*index, total, cpu);
    std::printf("replace all of %d matches: %.1f ms without the list, %.1f ms with the panel "
                "(%.2fx; goal 1.2x), then the list read again in %.1f ms in slices (%.1f ms of "
                "processor time)\n",
                matches, replaceAlone, replaceWith, replaceWith / replaceAlone, total, cpu);
    return 0;
}
