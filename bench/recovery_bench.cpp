// How long a keystroke waits while the recovery file is kept. A generated diary of 50 MB (as
// Shift-JIS bytes) is opened in the real main window, offscreen, and typed into in bursts; the
// pauses between bursts let the recovery snapshot run, and a probe key is pressed at a
// different moment of each snapshot. A second thread posts the keys, and a tick every 2 ms,
// as the window system would, so every wait is measured from the moment the event arrived:
// the longest tick wait is the longest event-loop stall. Two measures of each wait: the wall
// clock (which on a busy machine also counts the time other processes held the processor) and
// the processor time the user-interface thread spent before it came to the event (the work
// that stood in the event's way, whatever the load). The same typing is measured without
// recovery, then with it.
//
// Usage: recovery_bench [megabytes] [cycles]   (runs offscreen)

#include "DiaryGenerator.h"
#include "app/ProgramFolder.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "platform/QtPlatform.h"
#include "recovery/RecoveryKeeper.h"
#include "recovery/TextSnapshot.h"
#include "settings/QtKeyStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextCursor>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <thread>
#include <time.h>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;
using std::chrono::milliseconds;

double msBetween(Steady::time_point from, Steady::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

class YesMessages : public Messages {
public:
    MsgAnswer show(const Message&) override { return MsgAnswer::Yes; }
};

clockid_t guiThreadClock;

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// An event as the window system delivers it: posted from outside, stamped when it arrived.
class Arrival : public QEvent {
public:
    static inline const Type kind = Type(QEvent::registerEventType());
    Arrival(bool key) : QEvent(kind), key(key), at(Steady::now()), cpuAt(cpuMs(guiThreadClock)) {}
    bool key;
    Steady::time_point at;
    double cpuAt; // processor time of the user-interface thread when the event arrived
};

struct Waits {
    std::vector<double> tickWall, tickCpu, keyWall, keyCpu;
};

// Receives the arrivals on the user-interface thread: ticks only measure their wait, keys are
// typed into the editor.
class Receiver : public QObject {
public:
    explicit Receiver(QPlainTextEdit* editor) : editor_(editor) {}
    Waits waits;

    bool event(QEvent* e) override
    {
        if (e->type() != Arrival::kind)
            return QObject::event(e);
        const auto* arrival = static_cast<Arrival*>(e);
        const double wall = msBetween(arrival->at, Steady::now());
        const double cpu = cpuMs(CLOCK_THREAD_CPUTIME_ID) - arrival->cpuAt;
        if (!arrival->key) {
            waits.tickWall.push_back(wall);
            waits.tickCpu.push_back(cpu);
            return true;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("あ"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("あ"));
        QApplication::sendEvent(editor_, &press);
        QApplication::sendEvent(editor_, &release);
        // Until the key has been handled.
        waits.keyWall.push_back(msBetween(arrival->at, Steady::now()));
        waits.keyCpu.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - arrival->cpuAt);
        return true;
    }

private:
    QPlainTextEdit* editor_;
};

// Types as a writer does: a burst, a pause long enough for the snapshot to start, a probe key
// a little later each cycle (landing at a different point of the snapshot), then quiet until
// the file is written.
void type(Receiver* receiver, int cycles, std::atomic<bool>& done)
{
    std::atomic<bool> typing = true;
    std::thread ticks([&] {
        while (typing) {
            QCoreApplication::postEvent(receiver, new Arrival(false));
            std::this_thread::sleep_for(milliseconds(2));
        }
    });
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (int key = 0; key < 8; ++key) {
            QCoreApplication::postEvent(receiver, new Arrival(true));
            std::this_thread::sleep_for(milliseconds(60));
        }
        std::this_thread::sleep_for(milliseconds(2000 + 1200 * cycle / std::max(1, cycles - 1)));
        QCoreApplication::postEvent(receiver, new Arrival(true));
        std::this_thread::sleep_for(milliseconds(4000));
    }
    typing = false;
    ticks.join();
    done = true;
}

Waits measure(QPlainTextEdit* editor, int cycles)
{
    Receiver receiver(editor);
    std::atomic<bool> done = false;
    std::thread writer(type, &receiver, cycles, std::ref(done));
    while (!done)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    writer.join();
    QApplication::processEvents();
    return receiver.waits;
}

// "p99 / max" of the waits.
QByteArray spread(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return QByteArray::number(v[v.size() * 99 / 100], 'f', 1) + " / "
           + QByteArray::number(v.back(), 'f', 1);
}

void report(const char* name, const Waits& w)
{
    std::printf("%-13s %zu keys, %zu ticks (p99 / max, ms)\n", name, w.keyWall.size(),
                w.tickWall.size());
    std::printf("    processor time ahead:  key handled %-13s tick %s\n",
                spread(w.keyCpu).constData(), spread(w.tickCpu).constData());
    std::printf("    wall clock:            key handled %-13s tick %s\n",
                spread(w.keyWall).constData(), spread(w.tickWall).constData());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    pthread_getcpuclockid(pthread_self(), &guiThreadClock);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 6;

    const QString path = home.filePath(QStringLiteral("diary.htm"));
    const QByteArray bytes = generateDiary(megabytes);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }

    YesMessages messages;
    OneFileDialog dialogs;
    dialogs.path = path;
    QtClipboard clipboard;
    QtClock clock;
    QtSystem system{workFolderOf};
    QtFiles files;
    QtKeyStore keyStore;
    const Platform platform{messages, dialogs, clipboard, clock, system, files, keyStore};

    TMainForm form(platform);
    form.resize(900, 700);
    form.show();
    // No explanation window at the switch.
    form.state().FirstPageChangeFlag = FirstPageChange::Never;
    form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    form.document()->OpenDiary();
    QPlainTextEdit* editor = form.diaryTab()->AllMemo;
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(editor->document()->characterCount() / 2);
    editor->setTextCursor(cursor);
    editor->setFocus();
    QApplication::processEvents();
    std::printf("diary: %.1f MB Shift-JIS, %d lines; %d cycles of typing\n",
                double(bytes.size()) / (1024 * 1024), editor->document()->blockCount(), cycles);

    auto start = Steady::now();
    TextSnapshot whole;
    whole.start(editor->document());
    whole.step(QDeadlineTimer(QDeadlineTimer::Forever));
    const qsizetype units = whole.take().size();
    std::printf("reading the whole diary at once (what the slices add up to): %.0f ms, %lld "
                "UTF-16 units\n",
                msBetween(start, Steady::now()), static_cast<long long>(units));

    report("recovery off", measure(editor, cycles));

    const QString folder = home.filePath(QStringLiteral("state/pelmora"));
    form.startRecovery(folder);
    const Waits on = measure(editor, cycles);
    report("recovery on", on);
    // Quiet until everything is written; then one more key, and quiet until the file holds it.
    start = Steady::now();
    while (msBetween(start, Steady::now()) < 8000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    QFileInfo file(form.recovery()->ownPath());
    const QDateTime before = file.exists() ? file.lastModified() : QDateTime();
    Receiver last(editor);
    QCoreApplication::postEvent(&last, new Arrival(true));
    start = Steady::now();
    while (msBetween(start, Steady::now()) < 60000
           && (!file.exists() || file.lastModified() == before)) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        file.refresh();
    }
    std::printf("recovery file %s %.0f ms after the last key (pause %d ms), %.1f MB\n",
                file.lastModified() != before ? "written" : "NOT written",
                msBetween(start, Steady::now()), 2000, double(file.size()) / (1024 * 1024));
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("goal: no wait above 16 ms because of recovery; load average %.1f\n", load[0]);
    form.recovery()->finish();
    return 0;
}
