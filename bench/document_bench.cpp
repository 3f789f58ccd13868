// Times opening and saving a generated 50 MB Shift-JIS diary through DiaryDocument, beside two
// floors on the same text: glibc iconv converting the bytes, and a bare
// QPlainTextEdit::setPlainText of the already decoded text. Also times typing one character
// near the end of the open document and reports the peak memory.
//
// Usage: document_bench [megabytes]   (runs offscreen)

#include "DiaryGenerator.h"
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
#include <iconv.h>
#include <sys/resource.h>
#include <vector>

namespace {

using Timer = std::chrono::steady_clock;

double msSince(Timer::time_point start)
{
    return std::chrono::duration<double, std::milli>(Timer::now() - start).count();
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

    // Floors: iconv both ways, a bare setPlainText, a raw file write.
    const double iconvDecode = iconvMs("UTF-16LE", "CP932", bytes, bytes.size() * 2 + 16);
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
    doc.OpenDiary();
    QApplication::processEvents();
    const double open = msSince(start);
    decoded = tab.AllMemo->toPlainText();

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

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("diary: %.1f MB\n", double(bytes.size()) / (1024 * 1024));
    std::printf("open  %8.0f ms   floor iconv %6.0f + setPlainText %6.0f = %6.0f ms   ratio %.2f (goal 1.5)\n",
                open, iconvDecode, bareSet, iconvDecode + bareSet, open / (iconvDecode + bareSet));
    std::printf("save  %8.0f ms   floor iconv %6.0f + raw write %6.0f = %6.0f ms   ratio %.2f (goal 2)\n",
                save, iconvEncode, rawWrite, iconvEncode + rawWrite, save / (iconvEncode + rawWrite));
    std::printf("typing near the end: worst of 5 keys %.1f ms (goal 16)\n", typing);
    std::printf("peak memory: %ld MB\n", usage.ru_maxrss / 1024);
    return 0;
}
