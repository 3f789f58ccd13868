// Times inserting today's entry, a body of 1,000 lines with automatic line breaks on, into the
// middle of a 50 MB diary shown in AllMemo: the command itself (question answered at once, work
// file on the real disk, the real clipboard) and the repaint that follows it.
//
// Usage: insert_bench [megabytes] [body lines] [runs]   (runs offscreen)

#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "entry/EntryInserter.h"
#include "entry/HtmlSettings.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/QtPlatform.h"
#include "settings/QtKeyStore.h"
#include "text/Cp932.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Timer = std::chrono::steady_clock;

double msSince(Timer::time_point start)
{
    return std::chrono::duration<double, std::milli>(Timer::now() - start).count();
}

// Lines of a diary (tags, Japanese sentences, some ASCII; CR LF line ends) until the diary
// holds `megabytes` as code page 932 bytes.
QString generateDiary(qsizetype megabytes, qsizetype& bytes)
{
    const QStringList lines = {
        QStringLiteral(
            "<font color=\"#ff0000\"><b>2026年12月7日</b></font>(月) 天気：晴れ<BR>\r\n"),
        QStringLiteral(
            "今日は朝から雨が降っていたので、図書館で本を読んで過ごした。静かな一日。<BR>\r\n"),
        QStringLiteral("<HR>\r\n"),
        QStringLiteral("<a href=\"http://example.jp/diary/\">日記のページ</a>\r\n"),
        QStringLiteral("\r\n")};
    QString text;
    bytes = 0;
    for (qsizetype i = 0; bytes < megabytes * 1024 * 1024; ++i) {
        const QString& line = lines[i % lines.size()];
        text += line;
        bytes += text::cp932Length(line);
    }
    return text;
}

QString generateBody(int lines)
{
    QString body;
    for (int i = 0; i < lines; ++i) {
        body += QStringLiteral("本文の%1行目。今日は<b>いい天気</b>だった & 明日も晴れるといい。")
                    .arg(i);
        if (i + 1 < lines)
            body += QStringLiteral("\r\n");
    }
    return body;
}

class YesMessages : public Messages {
public:
    MsgAnswer show(const Message&) override { return MsgAnswer::Yes; }
};

class SilentSystem : public SystemInfo {
public:
    QString programFilePath() override { return {}; }
    QString workFolder() override { return {}; }
    void playSound(SystemSound) override {}
    bool openInBrowser(const QString&) override { return false; }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int bodyLines = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;

    QTemporaryDir folder;
    YesMessages messages;
    QtFileDialogs dialogs;
    QtClipboard clipboard;
    QtClock clock;
    SilentSystem system;
    QtFiles files;
    QtKeyStore keyStore;
    const Platform platform{messages, dialogs, clipboard, clock, system, files, keyStore};

    MainState state;
    entry::FillHtmlDefaults(state.Html, state.NewProcessFlag);
    state.Html.HtmlSetFlags = HtmlFlags(QStringLiteral("00010")); // automatic line breaks on
    state.ProgramFolder = folder.path() + QDir::separator();

    TodayEntryTab today(state, clock);
    today.ClearTodayEntry();
    TodayEntry entry = today.entry();
    entry.weatherItem = 4;
    entry.weatherText = QStringLiteral("晴れ／くもり");
    entry.title = QStringLiteral("題");
    entry.body = generateBody(bodyLines);
    entry.bodyModified = true;
    today.restore(entry);

    DiaryFileTab diary;
    diary.resize(800, 600);
    diary.show();
    qsizetype diaryBytes = 0;
    setEditorText(diary.AllMemo, generateDiary(megabytes, diaryBytes));
    QApplication::processEvents();

    TWeatherForm weather(
        state.Html, [&today] { return today.entryWithoutBody().weatherText; }, messages, system);
    std::vector<double> command, withPaint;
    for (int run = 0; run < runs; ++run) {
        QTextCursor middle = diary.AllMemo->textCursor();
        middle.setPosition(int(diary.AllMemo->document()->characterCount() / 2));
        diary.AllMemo->setTextCursor(middle);
        QApplication::processEvents();

        const auto start = Timer::now();
        EntryInserter(&today, &diary, state, platform, [&] {
            return weather.askColour();
        }).InsertDiaryBtnClick();
        command.push_back(msSince(start));
        QApplication::processEvents();
        withPaint.push_back(msSince(start));
    }
    if (files.exists(state.ProgramFolder + QStringLiteral("temp.pmr")))
        std::printf("work file left behind!\n");

    std::printf("diary %.1f MB in code page 932, body %d lines, automatic line breaks on, "
                "%d runs\n",
                double(diaryBytes) / (1024 * 1024), bodyLines, runs);
    std::printf("insert: median %.1f ms, worst %.1f ms; with the repaint: median %.1f ms, worst "
                "%.1f ms (goal 100)\n",
                median(command), *std::max_element(command.begin(), command.end()),
                median(withPaint), *std::max_element(withPaint.begin(), withPaint.end()));
    return 0;
}
