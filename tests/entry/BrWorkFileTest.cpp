#include "entry/BrWorkFile.h"
#include "platform/QtPlatform.h"
#include "storage/LockedFolder.h"
#include "support/FakePlatform.h"
#include "text/Cp932.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using entry::BrResult;

const QString folder = u"/opt/pelmora/"_s;
const QString workFile = u"/opt/pelmora/temp.pmr"_s;

// Keeps what was written, since a successful run deletes the file.
class RecordingFiles : public FakeFiles {
public:
    QByteArray written;
    bool writeAll(const QString& path, const QByteArray& bytes) override
    {
        written = bytes;
        return FakeFiles::writeAll(path, bytes);
    }
};

QString repeated(const QString& unit, qsizetype times)
{
    return unit.repeated(times);
}

TEST(BrWorkFileTest, AppendBrTagNeedsRoomForTheTagInTheBuffer)
{
    struct Case {
        QByteArray read;
        int result;
        QByteArray after;
    };
    const QByteArray a252(252, 'a'), a253(253, 'a'), a254(254, 'a');
    const Case cases[] = {
        {"\n", 0, "<BR>"},
        {"abc\n", 0, "abc<BR>"},
        {a252 + '\n', 0, a252 + "<BR>"},
        {a253 + '\n', 1, a253 + '\n'},
        {a254 + '\n', 1, a254 + '\n'},
        {"no line end", 1, "no line end"},
    };
    for (const Case& c : cases) {
        QByteArray line = c.read;
        EXPECT_EQ(entry::AppendBrTag(line), c.result) << c.read.size();
        EXPECT_EQ(line, c.after) << c.read.size();
    }
}

TEST(BrWorkFileTest, EveryBodyLineEndsInBrExceptThoseOf253And254Bytes)
{
    const QString wide126 = repeated(u"あ"_s, 126); // 252 bytes
    // A double-byte character across the 255th byte: bytes 255 and 256.
    const QString across = repeated(u"a"_s, 254) + u"漢"_s + repeated(u"b"_s, 10);
    struct Case {
        const char* name;
        QString body;
        QString file; // as decoded from the work file
        QString work; // WorkMemo
    };
    const Case cases[] = {
        {"TwoLines", u"一行目\r\n二行目"_s, u"一行目\r\n二行目\r\n"_s,
         u"一行目<BR>\r\n二行目<BR>\r\n"_s},
        {"EmptyLineInTheMiddle", u"a\r\n\r\nb"_s, u"a\r\n\r\nb\r\n"_s,
         u"a<BR>\r\n<BR>\r\nb<BR>\r\n"_s},
        {"FinalLineBreakAddsNoLine", u"a\r\n"_s, u"a\r\n"_s, u"a<BR>\r\n"_s},
        {"OnlyLineBreaks", u"\r\n\r\n"_s, u"\r\n\r\n"_s, u"<BR>\r\n<BR>\r\n"_s},
        {"Empty", u""_s, u""_s, u""_s},
        {"MarkupTabsAndQuotesUnchanged", u"<a href=\"x\">&amp;\t</a>"_s,
         u"<a href=\"x\">&amp;\t</a>\r\n"_s, u"<a href=\"x\">&amp;\t</a><BR>\r\n"_s},
        {"Ascii252", repeated(u"a"_s, 252), {}, repeated(u"a"_s, 252) + u"<BR>\r\n"_s},
        {"Ascii253", repeated(u"a"_s, 253), {}, repeated(u"a"_s, 253) + u"\r\n"_s},
        {"Ascii254", repeated(u"a"_s, 254), {}, repeated(u"a"_s, 254) + u"\r\n"_s},
        {"FullWidth252", wide126, {}, wide126 + u"<BR>\r\n"_s},
        {"FullWidth253", wide126 + u"a"_s, {}, wide126 + u"a\r\n"_s},
        {"Ascii255", repeated(u"a"_s, 255), {}, repeated(u"a"_s, 255) + u"<BR>\r\n"_s},
        {"Ascii256", repeated(u"a"_s, 256), {}, repeated(u"a"_s, 256) + u"<BR>\r\n"_s},
        {"Ascii511", repeated(u"a"_s, 511), {}, repeated(u"a"_s, 511) + u"<BR>\r\n"_s},
        {"Mixed5000",
         repeated(u"aあ"_s, 1666) + u"xy"_s,
         {},
         repeated(u"aあ"_s, 1666) + u"xy<BR>\r\n"_s},
        {"DoubleByteAcross255", across + u"\r\nnext"_s, {}, across + u"<BR>\r\nnext<BR>\r\n"_s},
        {"WideAcross255ThenShort",
         repeated(u"あ"_s, 127) + u"a\r\n"_s,
         {},
         repeated(u"あ"_s, 127) + u"a<BR>\r\n"_s},
        // The page cannot hold an emoji: it goes through the file as its character reference
        // and comes back as itself, for a diary that can hold it; one typed as a reference stays.
        {"Unencodable", u"😀"_s, u"&#128512;\r\n"_s, u"😀<BR>\r\n"_s},
        {"TypedReference", u"&#128512;"_s, u"&#128512;\r\n"_s, u"&#128512;<BR>\r\n"_s},
    };
    for (const Case& c : cases) {
        FakeMessages messages;
        RecordingFiles files;
        const entry::BrBody body = entry::BuildBrBody(files, messages, folder, c.body);
        EXPECT_EQ(body.result, BrResult::Done) << c.name;
        EXPECT_EQ(body.text, c.work) << c.name;
        if (!c.file.isNull()) {
            EXPECT_EQ(files.written, text::encodeCp932(c.file).bytes) << c.name;
        }
        EXPECT_FALSE(files.exists(workFile)) << c.name;
        EXPECT_TRUE(messages.shown.isEmpty()) << c.name;
    }
}

TEST(BrWorkFileTest, FailuresAreShownAndGiveTheirResult)
{
    struct Case {
        const char* name;
        std::function<void(FakeFiles&)> arrange;
        BrResult result;
        QString text;
        QString caption;
        bool fileRemains;
        QString work;
    };
    const Case cases[] = {
        {"WriteProtectedLeftover",
         [](FakeFiles& f) {
             f.files[workFile] = "old";
             f.readOnly << workFile;
         },
         BrResult::WriteProtected,
         u"前回の作業ファイルが残っています。\n削除を試みましたが、削除に失敗しました。\n"
         u"ライトプロテクトされている可能性があります。\n\n"
         u"申し訳ありませんが、作業ファイル（拡張子pmr）を手動で削除して下さい。"_s,
         u"Temp File WriteProtect Error."_s,
         true,
         {}},
        {"WriteFails",
         [](FakeFiles& f) { f.failingWrites << workFile; },
         BrResult::WriteFailed,
         u"作業ファイルの書き込みに失敗しました。\n\n処理を続行できません。"_s,
         u"File Writting Error."_s,
         false,
         {}},
        {"OpenFails",
         [](FakeFiles& f) { f.unreadable << workFile; },
         BrResult::OpenFailed,
         u"作業ファイルのオープンに失敗しました。"_s,
         u"File Open Error."_s,
         true,
         {}},
        {"DeleteFailsStillDone", [](FakeFiles& f) { f.undeletable << workFile; }, BrResult::Done,
         u"作業ファイルの削除に失敗しました。"_s, u"File Delete Error."_s, true, u"本文<BR>\r\n"_s},
    };
    for (const Case& c : cases) {
        FakeMessages messages;
        messages.answer({MsgAnswer::Ok});
        FakeFiles files;
        c.arrange(files);
        const entry::BrBody body = entry::BuildBrBody(files, messages, folder, u"本文"_s);
        EXPECT_EQ(body.result, c.result) << c.name;
        EXPECT_EQ(body.text, c.work) << c.name;
        ASSERT_EQ(messages.shown.size(), 1) << c.name;
        EXPECT_EQ(messages.shown[0].text, c.text) << c.name;
        EXPECT_EQ(messages.shown[0].caption, c.caption) << c.name;
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Stop) << c.name;
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok) << c.name;
        EXPECT_EQ(files.exists(workFile), c.fileRemains) << c.name;
    }
}

TEST(BrWorkFileTest, WritableLeftoverIsOverwritten)
{
    FakeMessages messages;
    FakeFiles files;
    files.files[workFile] = "stale\r\nlines\r\n";
    const entry::BrBody body = entry::BuildBrBody(files, messages, folder, u"new"_s);
    EXPECT_EQ(body.result, BrResult::Done);
    EXPECT_EQ(body.text, u"new<BR>\r\n"_s);
    EXPECT_FALSE(files.exists(workFile));
}

// In a folder others may write to, what another user put at the work file's name is removed,
// never followed nor read: a link to the writer's diary leaves the diary as it was.
TEST(BrWorkFileTest, WhatAnotherUserPutAtTheWorkFileIsNeverFollowed)
{
    struct Case {
        const char* name;
        bool link; // a link to the diary, else a file of their own
    };
    for (const Case c : {Case{"link to the diary", true}, Case{"their own file", false}}) {
        QTemporaryDir shared, home;
        const QString diary = home.filePath(u"diary.htm"_s);
        const QString work = entry::brWorkFilePath(shared.path() + u'/');
        QFile(diary).open(QIODevice::WriteOnly);
        ASSERT_EQ(chmod(QFile::encodeName(shared.path()).constData(), 0777), 0);
        ASSERT_EQ(inChild([&] {
                      if (!becomeNobody())
                          return 3;
                      QFile planted(work);
                      return (c.link ? QFile::link(diary, work)
                                     : planted.open(QIODevice::WriteOnly) && planted.write("x\n"))
                                 ? 0
                                 : 1;
                  }),
                  0)
            << c.name;
        QtFiles files;
        FakeMessages messages;
        const entry::BrBody body =
            entry::BuildBrBody(files, messages, shared.path() + u'/', u"本文"_s);
        EXPECT_EQ(body.text, u"本文<BR>\r\n"_s) << c.name;
        EXPECT_EQ(contentOf(diary), QByteArray()) << c.name;
        EXPECT_FALSE(QFileInfo::exists(work) || QFileInfo(work).isSymLink()) << c.name;
    }
}

} // namespace
