// Times the diary editor with its HTML colours on a generated 50 MB Shift-JIS diary: opening it
// beside the floor (glibc iconv plus a bare QPlainTextEdit::setPlainText of the decoded text),
// and the worst of a few keystrokes, each until the editor has painted again, at the top, in
// the middle, at the end and after a scroll; also a keystroke that opens a comment at the top,
// so that every line below it starts in another state, and a jump to the end right after opening.
//
// Usage: editor_bench [megabytes]   (runs offscreen)

#include "DiaryGenerator.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "document/HtmlColoring.h"
#include "document/LineNumberArea.h"
#include "platform/QtPlatform.h"
#include "settings/QtKeyStore.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

// The slowest of `count` key presses, each with its repaint.
double worstKeys(QPlainTextEdit* editor, const QString& text, int count)
{
    double worst = 0;
    for (int i = 0; i < count; ++i) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            const auto start = Timer::now();
            QApplication::sendEvent(editor, &press);
            QApplication::sendEvent(editor, &release);
            editor->viewport()->repaint();
            QApplication::processEvents();
            worst = std::max(worst, msSince(start));
        }
    }
    return worst;
}

void moveTo(QPlainTextEdit* editor, int line)
{
    goToLine(editor, line);
    editor->viewport()->repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diary.htm"));
    const QByteArray bytes = generateDiary(megabytes);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    const double iconvDecode = iconvMs("UTF-16LE", "CP932", bytes, bytes.size() * 2 + 16);

    QtSeams seams;
    seams.dialogs.path = path;
    const Platform platform = seams.platform();
    MainState state;
    FileDialogSettings openDialog, saveDialog;
    DiaryFileTab tab;
    tab.resize(800, 600);
    tab.show();
    QApplication::processEvents();
    DiaryDocument doc(state, &tab, platform, openDialog, saveDialog);
    QPlainTextEdit* editor = tab.AllMemo;
    if (!tab.coloring()->isEnabled())
        return 1;

    auto start = Timer::now();
    doc.OpenDiary();
    editor->viewport()->repaint();
    QApplication::processEvents();
    const double open = msSince(start);

    start = Timer::now();
    moveTo(editor, editor->blockCount());
    const double jumpToEnd = msSince(start);

    QPlainTextEdit bare;
    bare.resize(800, 600);
    bare.show();
    const QString decoded = editor->toPlainText();
    start = Timer::now();
    bare.setPlainText(decoded);
    bare.viewport()->repaint();
    QApplication::processEvents();
    const double bareSet = msSince(start);
    bare.hide();

    const int lines = editor->blockCount();
    moveTo(editor, 3);
    const double top = worstKeys(editor, QStringLiteral("a"), 5);
    moveTo(editor, lines / 2);
    const double middle = worstKeys(editor, QStringLiteral("a"), 5);
    moveTo(editor, lines);
    const double end = worstKeys(editor, QStringLiteral("a"), 5);
    editor->verticalScrollBar()->setValue(editor->verticalScrollBar()->maximum() / 4);
    editor->viewport()->repaint();
    QApplication::processEvents();
    const double afterScroll = worstKeys(editor, QStringLiteral("a"), 5);
    moveTo(editor, 2);
    const double comment = worstKeys(editor, QStringLiteral("<!--"), 1);

    // The same once the colours have settled in the background.
    start = Timer::now();
    while (!tab.coloring()->isSettled())
        QApplication::processEvents();
    const double settling = msSince(start);
    moveTo(editor, 3);
    const double settledTop = worstKeys(editor, QStringLiteral("a"), 5);
    moveTo(editor, lines / 2);
    const double settledMiddle = worstKeys(editor, QStringLiteral("a"), 5);
    moveTo(editor, lines);
    const double settledEnd = worstKeys(editor, QStringLiteral("a"), 5);

    std::printf("diary: %.1f MB, %d lines, colouring on\n", double(bytes.size()) / (1024 * 1024),
                lines);
    std::printf("open  %8.0f ms   floor iconv %6.0f + setPlainText %6.0f = %6.0f ms   ratio %.2f "
                "(goal 1.5)\n",
                open, iconvDecode, bareSet, iconvDecode + bareSet, open / (iconvDecode + bareSet));
    std::printf("jump to the end right after opening: %.1f ms\n", jumpToEnd);
    std::printf("while the colours settle, worst of 5 keys (goal 16 ms): top %.1f, middle %.1f, "
                "end %.1f, after a scroll %.1f ms\n",
                top, middle, end, afterScroll);
    std::printf("typing \"<!--\" at the top (every line below changes): worst key %.1f ms\n",
                comment);
    std::printf("settled in the background %.0f ms later; then worst of 5 keys: top %.1f, middle "
                "%.1f, end %.1f ms\n",
                settling, settledTop, settledMiddle, settledEnd);
    return 0;
}
