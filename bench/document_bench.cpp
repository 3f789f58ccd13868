// Times opening and saving a generated 50 MB Shift-JIS diary through DiaryDocument, beside two
// floors on the same text: glibc iconv converting the bytes, and a bare
// QPlainTextEdit::setPlainText of the already decoded text. Also times typing one character
// near the end of the open document and reports the peak memory.
//
// Usage: document_bench [megabytes] [open]   (runs offscreen)
// With "open" it only opens the diary and reports the time and the peak memory of that alone,
// or the refusal of a file too big to edit.

#include "app/AppError.h"
#include "app/MainState.h"
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

using Timer = std::chrono::steady_clock;

double msSince(Timer::time_point start)
{
    return std::chrono::duration<double, std::milli>(Timer::now() - start).count();
}

// Lines of a diary: tags, Japanese sentences, dates, some ASCII.
QByteArray generateDiary(qsizetype megabytes)
{
    const QStringList lines = {
        QStringLiteral("<font color=\"#ff0000\"><b>2026年12月7日</b></font>(月)　天気：晴れ<BR>"),
        QStringLiteral("今日は朝から雨が降っていたので、図書館で本を読んで過ごした。〜静かな一日。<BR>"),
        QStringLiteral("<HR>"),
        QStringLiteral("夕方、駅前の喫茶店でコーヒーを飲みながら日記を書いた。"),
        QStringLiteral("<a href=\"http://example.jp/diary/\">日記のページ</a>"),
        QString()};
    QByteArray text;
    const qsizetype target = megabytes * 1024 * 1024;
    text.reserve(target + 512);
    for (qsizetype i = 0; text.size() < target; ++i) {
        const QString& line = lines[i % lines.size()];
        QByteArray bytes(line.size() * 2, '\0');
        iconv_t cd = iconv_open("CP932", "UTF-16LE");
        char* in = reinterpret_cast<char*>(const_cast<QChar*>(line.data()));
        size_t inLeft = size_t(line.size()) * 2, outLeft = size_t(bytes.size());
        char* out = bytes.data();
        iconv(cd, &in, &inLeft, &out, &outLeft);
        iconv_close(cd);
        bytes.truncate(bytes.size() - qsizetype(outLeft));
        text += bytes;
        text += "\r\n";
    }
    return text;
}

double iconvMs(const char* to, const char* from, const QByteArray& input, qsizetype outCap)
{
    std::vector<char> output(static_cast<size_t>(outCap));
    const auto start = Timer::now();
    iconv_t cd = iconv_open(to, from);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = size_t(input.size()), outLeft = output.size();
    char* out = output.data();
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        std::perror("iconv");
        std::exit(1);
    }
    iconv_close(cd);
    return msSince(start);
}

class OneFileDialog : public FileDialogs {
public:
    QString path;
    bool openFile(FileDialogSettings& d) override { d.fileName = path; return true; }
    bool saveFile(FileDialogSettings& d) override { d.fileName = path; return true; }
};

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
