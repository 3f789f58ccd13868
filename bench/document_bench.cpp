// Times opening and saving a generated 50 MB Shift-JIS diary through DiaryDocument, beside two
// floors on the same text: glibc iconv converting the bytes, and a bare
// QPlainTextEdit::setPlainText of the already decoded text. Also times typing one character
// near the end of the open document and reports the peak memory.
//
// Usage: document_bench [megabytes] [open]   (runs offscreen)
// With "open" it only opens the diary and reports the time and the peak memory of that alone,
// or the refusal of a file too big to edit.

#include "core/AppError.h"
#include "core/MainState.h"
#include "DiaryGenerator.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "platform/FileDialogs.h"
#include "platform/QtKeyStore.h"
#include "platform/QtPlatform.h"
#include "text/LineEnds.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <sys/resource.h>
#include <vector>

namespace {

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Processor time of this process so far: on a busy machine it says more than the clock.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return double(t.tv_sec) * 1000 + double(t.tv_usec) / 1000;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const bool openOnly = argc > 2 && std::strcmp(argv[2], "open") == 0;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diary.htm"));
    const QByteArray bytes = generateDiary(megabytes);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }

    QString decoded;
    QtMessages messages;
    QtClipboard clipboard;
    QtClock clock;
    QtSystem system;
    QtFiles files;
    QtKeyStore keyStore;
    OneFileDialog dialogs;
    dialogs.path = path;
    const Platform platform{messages, dialogs, clipboard, clock, system, files, keyStore};

    MainState state;
    FileDialogSettings openDialog, saveDialog;
    DiaryFileTab tab;
    tab.resize(800, 600);
    tab.show();
    DiaryDocument doc(state, &tab, platform, openDialog, saveDialog);

    auto start = Timer::now();
    const double cpuAtStart = cpuMs();
    try {
        doc.OpenDiary();
    } catch (const AppError& e) {
        std::printf("diary: %.1f MB refused: %s\n", double(bytes.size()) / (1024 * 1024), e.what());
        return 0;
    }
    QApplication::processEvents();
    const double open = msSince(start);
    if (openOnly) {
        std::printf("diary: %.1f MB  open %.0f ms (processor %.0f ms)  peak memory %ld MB "
                    "(the bench holds the file's bytes too)\n",
                    double(bytes.size()) / (1024 * 1024), open, cpuMs() - cpuAtStart,
                    peakMegabytes());
        return 0;
    }
    decoded = tab.AllMemo->toPlainText();

    // Floors: iconv both ways, a bare setPlainText, a raw file write.
    const double iconvDecode = iconvMs("UTF-16LE", "CP932", bytes, bytes.size() * 2 + 16);

    QPlainTextEdit bare;
    bare.resize(800, 600);
    bare.show();
    start = Timer::now();
    bare.setPlainText(decoded);
    QApplication::processEvents();
    const double bareSet = msSince(start);

    // Typing near the end.
    QTextCursor cursor = tab.AllMemo->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Up);
    tab.AllMemo->setTextCursor(cursor);
    tab.AllMemo->setFocus();
    double typing = 0;
    for (int i = 0; i < 5; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        start = Timer::now();
        QApplication::sendEvent(tab.AllMemo, &press);
        QApplication::sendEvent(tab.AllMemo, &release);
        QApplication::processEvents();
        typing = std::max(typing, msSince(start));
    }

    start = Timer::now();
    doc.SaveDiary();
    const double save = msSince(start);

    const QByteArray utf16(reinterpret_cast<const char*>(decoded.utf16()), decoded.size() * 2);
    const double iconvEncode = iconvMs("CP932", "UTF-16LE", utf16, utf16.size() + 16);
    start = Timer::now();
    {
        QFile f(dir.filePath(QStringLiteral("raw.htm")));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    const double rawWrite = msSince(start);

    std::printf("diary: %.1f MB\n", double(bytes.size()) / (1024 * 1024));
    std::printf("open  %8.0f ms   floor iconv %6.0f + setPlainText %6.0f = %6.0f ms   ratio %.2f (goal 1.5)\n",
                open, iconvDecode, bareSet, iconvDecode + bareSet, open / (iconvDecode + bareSet));
    std::printf("save  %8.0f ms   floor iconv %6.0f + raw write %6.0f = %6.0f ms   ratio %.2f (goal 2)\n",
                save, iconvEncode, rawWrite, iconvEncode + rawWrite, save / (iconvEncode + rawWrite));
    std::printf("typing near the end: worst of 5 keys %.1f ms (goal 16)\n", typing);
    std::printf("peak memory: %ld MB\n", peakMegabytes());
    return 0;
}
