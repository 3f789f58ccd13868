// Times opening and saving a generated 50 MB Shift-JIS diary through DiaryDocument, beside
// floors on the same text. Open: glibc iconv decoding the bytes plus a bare
// QPlainTextEdit::setPlainText of the decoded text. Save: the same safe write done by hand,
// iconv encoding, writing a file beside the target, fsync and rename. Also times typing one
// character near the end of the open document and reports the peak memory.
//
// Usage (runs offscreen):
//   document_bench [megabytes]              the whole run
//   document_bench [megabytes] open [file]  only the open, from the call until the program is
//                                           idle, with its peak memory (or the refusal of a file
//                                           too big to edit); of `file` when given
//   document_bench [megabytes] write file   writes the generated diary to file and ends

#include "DiaryGenerator.h"
#include "core/AppError.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "platform/FileDialogs.h"
#include "platform/QtPlatform.h"
#include "settings/QtKeyStore.h"
#include "text/LineEnds.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

// The least a safe save can do: encode with iconv, write a new file beside the target, sync it
// and rename it over the target.
double safeSaveFloorMs(const QByteArray& utf16, const QString& target)
{
    const QByteArray path = QFile::encodeName(target);
    const QByteArray temporary = path + ".new";
    std::vector<char> output(static_cast<size_t>(utf16.size()) + 16);
    const auto start = Timer::now();
    convert("CP932", "UTF-16LE", utf16, output);
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, output.data(), output.size()) != ssize_t(output.size())
        || ::fsync(fd) != 0 || ::close(fd) != 0
        || ::rename(temporary.constData(), path.constData()) != 0) {
        std::perror("safe save floor");
        std::exit(1);
    }
    return msSince(start);
}

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

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const char* mode = argc > 2 ? argv[2] : "";
    const bool openOnly = std::strcmp(mode, "open") == 0;
    const QString givenFile = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();

    QTemporaryDir dir;
    const QString path =
        givenFile.isEmpty() ? dir.filePath(QStringLiteral("diary.htm")) : givenFile;
    QByteArray bytes;
    if (!openOnly || !QFile::exists(path)) {
        bytes = generateDiary(megabytes);
        if (!writeFile(path, bytes))
            return 1;
    }
    if (std::strcmp(mode, "write") == 0) {
        std::printf("%s: %.1f MB, %lld lines\n", qPrintable(path),
                    double(bytes.size()) / (1024 * 1024), qlonglong(bytes.count('\n')));
        return 0;
    }

    QString decoded;
    ShownDocument shown(path);
    DiaryFileTab& tab = shown.tab;
    DiaryDocument& doc = *shown.doc;

    const double fileMegabytes = double(QFileInfo(path).size()) / (1024 * 1024);
    auto start = Timer::now();
    const double cpuAtStart = cpuMs();
    try {
        doc.OpenDiary();
    } catch (const AppError& e) {
        std::printf("diary: %.1f MB refused: %s\n", fileMegabytes, e.what());
        return 0;
    }
    runUntilIdle();
    const double open = msSince(start);
    if (openOnly) {
        std::printf("diary: %.1f MB, %d lines  open until idle %.0f ms (processor %.0f ms)  "
                    "peak memory %ld MB%s\n",
                    fileMegabytes, tab.AllMemo->document()->blockCount(), open,
                    cpuMs() - cpuAtStart, peakMegabytes(),
                    bytes.isEmpty() ? "" : " (the bench holds the file's bytes too)");
        return 0;
    }
    decoded = tab.AllMemo->toPlainText();

    // Floor of the open: iconv, then a bare setPlainText.
    const double iconvDecode = iconvMs("UTF-16LE", "CP932", bytes, bytes.size() * 2 + 16);

    QPlainTextEdit bare;
    bare.resize(800, 600);
    bare.show();
    runUntilIdle();
    start = Timer::now();
    bare.setPlainText(decoded);
    runUntilIdle();
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

    // The floor replaces a file of its own in the same folder, as the save replaced the diary.
    const QString floorTarget = dir.filePath(QStringLiteral("floor.htm"));
    if (!writeFile(floorTarget, bytes))
        return 1;
    const QString crlf = text::fromEditorText(decoded);
    const QByteArray utf16(reinterpret_cast<const char*>(crlf.utf16()), crlf.size() * 2);
    const double saveFloor = safeSaveFloorMs(utf16, floorTarget);

    std::printf("diary: %.1f MB\n", fileMegabytes);
    std::printf("open  %6.0f ms   floor iconv %5.0f + setPlainText %5.0f = %5.0f ms   ratio %.2f\n",
                open, iconvDecode, bareSet, iconvDecode + bareSet, open / (iconvDecode + bareSet));
    std::printf("save  %6.0f ms   floor iconv, write, fsync, rename %5.0f ms   ratio %.2f "
                "(goal 1.5)\n",
                save, saveFloor, save / saveFloor);
    std::printf("typing near the end: worst of 5 keys %.1f ms (goal 16)\n", typing);
    std::printf("peak memory: %ld MB\n", peakMegabytes());
    return 0;
}
