#pragma once

// What the document benchmarks share: the generated Shift-JIS diary they open, a timer, the
// iconv floor, a file dialog that always picks one file and a diary tab with its document.

#include "app/ProgramFolder.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"
#include "platform/QtPlatform.h"
#include "settings/QtKeyStore.h"

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <memory>
#include <vector>

// Lines of a diary: tags, Japanese sentences, dates, some ASCII.
inline QByteArray generateDiary(qsizetype megabytes)
{
    const QStringList lines = {
        QStringLiteral("<font color=\"#ff0000\"><b>2026年12月7日</b></font>(月)　天気：晴れ<BR>"),
        QStringLiteral(
            "今日は朝から雨が降っていたので、図書館で本を読んで過ごした。〜静かな一日。<BR>"),
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

using Timer = std::chrono::steady_clock;

inline double msSince(Timer::time_point start)
{
    return std::chrono::duration<double, std::milli>(Timer::now() - start).count();
}

// Converts input with iconv into output, which it sizes to the result.
inline void convert(const char* to, const char* from, const QByteArray& input,
                    std::vector<char>& output)
{
    iconv_t cd = iconv_open(to, from);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = size_t(input.size()), outLeft = output.size();
    char* out = output.data();
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        std::perror("iconv");
        std::exit(1);
    }
    iconv_close(cd);
    output.resize(output.size() - outLeft);
}

inline double iconvMs(const char* to, const char* from, const QByteArray& input, qsizetype outCap)
{
    std::vector<char> output(static_cast<size_t>(outCap));
    const auto start = Timer::now();
    convert(to, from, input, output);
    return msSince(start);
}

class OneFileDialog : public FileDialogs {
public:
    QString path;
    bool openFile(FileDialogSettings& d) override
    {
        d.fileName = path;
        return true;
    }
    bool saveFile(FileDialogSettings& d) override
    {
        d.fileName = path;
        return true;
    }
};

// The real seams, with a file dialog that always picks `dialogs.path`.
struct QtSeams {
    QtMessages messages;
    QtClipboard clipboard;
    QtClock clock;
    QtSystem system{workFolderOf};
    QtFiles files;
    QtKeyStore keyStore;
    OneFileDialog dialogs;

    Platform platform() { return {messages, dialogs, clipboard, clock, system, files, keyStore}; }
};

// Runs the event loop until it has nothing left to do and is about to wait.
inline void runUntilIdle()
{
    QObject guard;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &guard, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// A diary tab shown as the program shows it, and its document on the real seams with the file
// dialog picking `path`. The document comes once the tab is laid out, so that what is timed
// afterwards does not pay for the tab's first layout.
struct ShownDocument {
    explicit ShownDocument(const QString& path)
    {
        seams.dialogs.path = path;
        tab.resize(800, 600);
        tab.show();
        runUntilIdle();
        doc =
            std::make_unique<DiaryDocument>(state, &tab, seams.platform(), openDialog, saveDialog);
    }

    QtSeams seams;
    MainState state;
    FileDialogSettings openDialog, saveDialog;
    DiaryFileTab tab;
    std::unique_ptr<DiaryDocument> doc;
};
