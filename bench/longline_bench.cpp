// Times diaries without line breaks in the real main window, on the display it is given
// (offscreen when there is none): the generated diary cut to each size with its line ends taken
// out, opened as a file named at start is opened, until the editor has painted, beside the same
// bytes with their line breaks; keystrokes in the middle and at the end of the one line, each
// until the editor has painted; then the processor's share over 5 s while the cursor only
// blinks in that line.
//
// Usage: longline_bench [megabytes ...]   (default 0.5 1 2; DISPLAY=... or xvfb-run for X)

#include "DiaryGenerator.h"
#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryFileTab.h"

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
#include <QTimer>

#include <algorithm>
#include <ctime>

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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The processor time of every thread of this process, in milliseconds.
double processorMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double openMs(TMainForm* form, const QString& path)
{
    const auto start = Timer::now();
    form->openGivenFile(path);
    paintNow(form->diaryTab()->AllMemo);
    return msSince(start);
}

// The median of a few keys typed at `position`, each until the editor has painted.
double keyMs(QPlainTextEdit* editor, int position)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(position);
    editor->setTextCursor(cursor);
    paintNow(editor);
    std::vector<double> times;
    for (int i = 0; i < keysPerPlace; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        const auto start = Timer::now();
        QApplication::sendEvent(editor, &press);
        QApplication::sendEvent(editor, &release);
        paintNow(editor);
        times.push_back(msSince(start));
    }
    return median(times);
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

void measure(const QStringList& sizes, const QString& folder)
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

        const double withBreaks = openMs(form, lines);
        const double open = openMs(form, one);
        form->activateWindow();
        editor->setFocus();
        const int length = editor->document()->firstBlock().length() - 1;
        const double middle = keyMs(editor, length / 2);
        const double end = keyMs(editor, length + keysPerPlace);
        QTextCursor middleOfLine(editor->document());
        middleOfLine.setPosition(length / 2);
        editor->setTextCursor(middleOfLine);
        const double share = idleShare();
        std::printf("%s MB on one line (%d chars): open %.0f ms (%.0f ms with its line breaks, "
                    "%.2fx); a key in the middle %.1f ms, at the end %.1f ms; idle %.1f %% of "
                    "a core%s\n",
                    qPrintable(size), length, open, withBreaks, open / withBreaks, middle, end,
                    share, editor->hasFocus() ? "" : " (the editor had no focus: no blinking)");
        std::fflush(stdout);
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
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLocal8Bit(argv[i]);
    if (sizes.isEmpty())
        sizes = {QStringLiteral("0.5"), QStringLiteral("1"), QStringLiteral("2")};
    int noArguments = 1;
    return runPelmora(noArguments, argv, StartAs::Alone, [&] {
        measure(sizes, folder.path());
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    });
}
