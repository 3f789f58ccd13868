// Times the preview window on a generated 50 MB Shift-JIS diary: its first opening (loading the
// browser engine's library and starting the engine) until the diary pane shows the lines around
// a cursor in the middle, then showing them again after a jump to the end and after an edit at
// the top (which makes every line below it start anew). Also the memory the first opening
// takes: the program's resident set, and with the engine's helper processes.
//
// Usage: preview_bench [megabytes]   (runs offscreen, from the build tree)

#include "DiaryGenerator.h"
#include "preview/PageView.h"
#include "preview/PreviewEngine.h"
#include "preview/PreviewWindow.h"
#include "text/Cp932.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

// Resident kilobytes of a process, from /proc.
long rssKb(const QString& pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

QString parentOf(const QString& pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    return QString::fromLatin1(text.mid(text.lastIndexOf(')') + 2).split(' ').value(1));
}

// Resident kilobytes of this process and every process it started, and theirs.
long treeRssKb()
{
    QStringList family{QString::number(::getpid())};
    const QStringList all = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (bool grown = true; grown;) {
        grown = false;
        for (const QString& pid : all) {
            if (!family.contains(pid) && family.contains(parentOf(pid))) {
                family << pid;
                grown = true;
            }
        }
    }
    long total = 0;
    for (const QString& pid : family)
        total += rssKb(pid);
    return total;
}

// Waits until the pane shows a page whose text holds `word`.
void waitFor(PageView* view, const QString& word)
{
    const QString script =
        QStringLiteral("document.body && document.body.innerText.indexOf('%1') >= 0");
    for (bool shown = false; !shown;) {
        QEventLoop loop;
        view->runScript(script.arg(word), [&](const QVariant& v) {
            shown = v.toBool();
            loop.quit();
        });
        loop.exec();
        if (!shown) {
            QTimer::singleShot(5, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }
}

void moveTo(QPlainTextEdit* editor, int line)
{
    editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(line)));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;

    QWidget main;
    main.resize(800, 600);
    main.show();
    auto* dock = new QSplitter(&main);
    auto* editor = new QPlainTextEdit(&main);
    editor->setPlainText(text::decodeCp932ToEditor(generateDiary(megabytes)));
    const int lines = editor->blockCount();
    const QString stamp = QStringLiteral("PREVIEW-BENCH-MARK");
    QtSeams seams;
    PreviewWindow preview([] { return QStringLiteral("<p>entry</p>"); }, editor,
                          [] { return true; }, [] { return QDir::temp().filePath("diary.htm"); },
                          seams.platform(), dock, &main);
    preview.setDockChoice(false); // a window of its own, as before docking existed
    moveTo(editor, lines / 2);
    editor->textCursor().insertText(stamp + u'1');
    QApplication::processEvents();

    const long programBefore = rssKb(QString::number(::getpid()));
    const long treeBefore = treeRssKb();
    auto start = Timer::now();
    QString error;
    if (!preview.open(previewLibraryFiles(QCoreApplication::applicationDirPath()), error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    waitFor(preview.diaryView(), stamp + u'1');
    const double first = msSince(start);
    const long programAfter = rssKb(QString::number(::getpid()));
    const long treeAfter = treeRssKb();

    moveTo(editor, lines - 1);
    editor->textCursor().insertText(stamp + u'2');
    start = Timer::now();
    preview.refresh();
    waitFor(preview.diaryView(), stamp + u'2');
    const double end = msSince(start);

    moveTo(editor, 0);
    editor->textCursor().insertText(QStringLiteral("<p>"));
    moveTo(editor, lines - 1);
    editor->textCursor().insertText(stamp + u'3');
    start = Timer::now();
    preview.refresh();
    waitFor(preview.diaryView(), stamp + u'3');
    const double afterEdit = msSince(start);

    std::printf("diary: %lld MB, %d lines\n", static_cast<long long>(megabytes), lines);
    std::printf("first opening, cursor in the middle: %.0f ms\n", first);
    std::printf("program RSS: %ld MB before, %ld MB after (+%ld MB)\n", programBefore / 1024,
                programAfter / 1024, (programAfter - programBefore) / 1024);
    std::printf("with the engine's processes: %ld MB before, %ld MB after (+%ld MB)\n",
                treeBefore / 1024, treeAfter / 1024, (treeAfter - treeBefore) / 1024);
    std::printf("shown again after a jump to the end: %.0f ms\n", end);
    std::printf("shown again after an edit at the top, cursor at the end: %.0f ms\n", afterEdit);
    return 0;
}
