// Times diaries without line breaks in the real main window, on the display it is given
// (offscreen when there is none): the generated diary cut to each size with its line ends taken
// out, opened as a file named at start is opened, until the editor has painted, beside the same
// bytes with their line breaks; keystrokes in the middle and at the end of the one line, each
// until the editor has painted; then the processor's share over 5 s while the cursor only
// blinks in that line.
//
// With --floor, also a bare QPlainTextEdit with the same text, its lines unbroken and broken.
//
// Usage: longline_bench [--floor] [megabytes ...]   (default 0.5 1 2; DISPLAY=... or xvfb-run)

#include "DiaryGenerator.h"
#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "platform/Controls.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

constexpr int keysPerPlace = 5;
constexpr int idleMs = 5000;

TMainForm* mainForm()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TMainForm*>(window))
            return form;
    }
    return nullptr;
}

void paintNow(QPlainTextEdit* editor)
{
    editor->viewport()->repaint();
    QApplication::processEvents();
}

// The processor time of every thread of this process, in milliseconds.
double processorMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// What a step took on the clock and in processor time: on a machine shared with other work
// the second says what the step itself cost.
struct Cost {
    double ms = 0;
    double processor = 0;
};

template <typename Step> Cost costOf(Step step)
{
    const auto start = Timer::now();
    const double before = processorMs();
    step();
    return {msSince(start), processorMs() - before};
}

Cost median(std::vector<Cost> v)
{
    std::sort(v.begin(), v.end(), [](const Cost& a, const Cost& b) { return a.ms < b.ms; });
    return v[v.size() / 2];
}

Cost openCost(TMainForm* form, const QString& path)
{
    return costOf([&] {
        form->openGivenFile(path);
        paintNow(form->diaryTab()->AllMemo);
    });
}

// The median of a few keys typed at `position`, each until the editor has painted.
Cost keyCost(QPlainTextEdit* editor, int position)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(position);
    editor->setTextCursor(cursor);
    paintNow(editor);
    std::vector<Cost> costs;
    for (int i = 0; i < keysPerPlace; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        costs.push_back(costOf([&] {
            QApplication::sendEvent(editor, &press);
            QApplication::sendEvent(editor, &release);
            paintNow(editor);
        }));
    }
    return median(costs);
}

// The share of one core the process uses while the event loop runs for idleMs with nothing
// typed, in percent.
double idleShare()
{
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit); // what the last key left to do
    loop.exec();
    const double before = processorMs();
    const auto start = Timer::now();
    QTimer::singleShot(idleMs, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (processorMs() - before) / msSince(start);
}

// The floor: a bare editor made as the program makes its editors (lines unbroken, no colours,
// no line numbers, nothing watching the text) and shown alone with the same text; then the same
// editor with its lines broken as the program shows a long line.
void measureFloor(const QString& text)
{
    for (const bool broken : {false, true}) {
        QPlainTextEdit* bare = makeMemo("Bare", QStringLiteral("bare"), nullptr);
        bare->resize(800, 600);
        if (broken) {
            QFont font = bare->font();
            font.setStyleStrategy(QFont::PreferNoShaping);
            bare->setFont(font);
            bare->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        }
        bare->show();
        bare->activateWindow();
        bare->setFocus();
        const Cost open = costOf([&] {
            bare->setPlainText(text);
            paintNow(bare);
        });
        if (broken)
            bare->document()->firstBlock().layout()->setCacheEnabled(true);
        const Cost middle = keyCost(bare, int(text.size() / 2));
        const double share = idleShare();
        std::printf("  a bare QPlainTextEdit, lines %s: open %.0f (%.0f), a key in the middle %.1f "
                    "(%.1f), idle %.1f %%\n",
                    broken ? "broken" : "unbroken", open.ms, open.processor, middle.ms,
                    middle.processor, share);
        std::fflush(stdout);
        delete bare;
    }
}

// Answers "no" to the question whether to save the typed keys before the next open (within
// 10 ms, counted in that open).
void declineSaving()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    timer->start(10);
}

// The generated diary cut to `megabytes` before a '<' (never the second byte of a Shift-JIS
// character), with its line breaks.
QByteArray diaryOf(double megabytes)
{
    QByteArray bytes = generateDiary(qsizetype(megabytes) + 1);
    bytes.truncate(bytes.lastIndexOf('<', qsizetype(megabytes * 1024 * 1024)));
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void measure(const QStringList& sizes, const QString& folder, bool floor)
{
    declineSaving();
    TMainForm* form = mainForm();
    form->resize(800, 600);
    form->state().FirstPageChangeFlag = FirstPageChange::Never; // no explanation window
    form->show();
    QPlainTextEdit* editor = form->diaryTab()->AllMemo;
    std::printf("platform %s; median of %d keys; processor over %d s with the cursor in the "
                "line's middle\n",
                qPrintable(QGuiApplication::platformName()), keysPerPlace, idleMs / 1000);
    for (const QString& size : sizes) {
        QByteArray bytes = diaryOf(size.toDouble());
        const QString lines = folder + QStringLiteral("/lines%1.htm").arg(size);
        const QString one = folder + QStringLiteral("/one%1.htm").arg(size);
        if (!writeFile(lines, bytes) || !writeFile(one, bytes.replace("\r\n", "")))
            return;

        const Cost withBreaks = openCost(form, lines);
        const Cost open = openCost(form, one);
        form->activateWindow();
        editor->setFocus();
        const int length = editor->document()->firstBlock().length() - 1;
        const Cost middle = keyCost(editor, length / 2);
        const Cost end = keyCost(editor, length + keysPerPlace);
        QTextCursor middleOfLine(editor->document());
        middleOfLine.setPosition(length / 2);
        editor->setTextCursor(middleOfLine);
        const double share = idleShare();
        std::printf("%s MB on one line (%d chars), in ms (processor ms):\n"
                    "  open %.0f (%.0f), with its line breaks %.0f (%.0f): %.2fx (%.2fx)\n"
                    "  a key in the middle %.1f (%.1f), at the end %.1f (%.1f)\n"
                    "  idle %.1f %% of a core%s\n",
                    qPrintable(size), length, open.ms, open.processor, withBreaks.ms,
                    withBreaks.processor, open.ms / withBreaks.ms,
                    open.processor / withBreaks.processor, middle.ms, middle.processor, end.ms,
                    end.processor, share,
                    editor->hasFocus() ? "" : " (the editor had no focus: no blinking)");
        std::fflush(stdout);
        if (floor)
            measureFloor(editor->document()->toRawText());
    }
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    // The program's settings and recovery files stay in the temporary folder.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(folder.filePath(QStringLiteral("state"))));
    QStringList sizes;
    bool floor = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--floor") == 0)
            floor = true;
        else
            sizes << QString::fromLocal8Bit(argv[i]);
    }
    if (sizes.isEmpty())
        sizes = {QStringLiteral("0.5"), QStringLiteral("1"), QStringLiteral("2")};
    int noArguments = 1;
    return runPelmora(noArguments, argv, StartAs::Alone, [&] {
        measure(sizes, folder.path(), floor);
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    });
}
