#include "document/DiaryText.h"
#include "core/AppError.h"
#include "support/FakePlatform.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Every line end of the file reaches the editor as one LF, found in one pass with the decoding;
// a save writes each back as CR LF.
TEST(DiaryText, LineEndsReachTheEditorAsLfAndDoubleByteCharactersStayWhole)
{
    struct Case {
        const char* name;
        QByteArray file;
        QString editor;
    };
    const QString x15(15, u'x');
    const QString y16(16, u'y');
    const Case cases[] = {
        {"empty", "", u""_s},
        {"crlf", "a\r\nb\r\n", u"a\nb\n"_s},
        {"lone lf", "a\nb", u"a\nb"_s},
        {"lone cr", "a\rb", u"a\nb"_s},
        {"cr at the end", "a\r", u"a\n"_s},
        {"lf cr is two breaks", "a\n\rb", u"a\n\nb"_s},
        {"cr cr lf", "\r\r\n", u"\n\n"_s},
        {"mixed without final break", "1\r2\n3\r\n4", u"1\n2\n3\n4"_s},
        // Long ASCII runs are read sixteen bytes at a time: a CR LF across two blocks, a lone
        // CR at the start of one.
        {"crlf across blocks", (x15 + u"\r\n"_s + y16 + u"\rz"_s).toLatin1(),
         x15 + u"\n"_s + y16 + u"\nz"_s},
        // 0x95 0x5C is "表": its trail byte is a backslash, the pair stays as it is.
        {"trail byte 0x5c", "\x95\x5c\n", u"表\n"_s},
        {"double-byte then lone cr", "\x82\xa0\r\x82\xa2", u"あ\nい"_s},
        // A lead byte without a trail byte does not swallow the line end after it.
        {"dangling lead byte before lf", "\x81\n", u"\uF781\n"_s},
        {"dangling lead byte before cr", "\x81\rx", u"\uF781\nx"_s},
        {"lead byte at the end", "a\x81", u"a\uF781"_s},
        {"nul and high bytes kept", QByteArray("\0\xff\r", 3),
         QStringView(u"\0\uF7FF\n", 3).toString()},
    };
    for (const Case& c : cases) {
        FakeFiles files;
        files.files.insert(u"/d/a.htm"_s, c.file);
        EXPECT_EQ(document::readDiaryText(files, u"/d/a.htm"_s), c.editor) << c.name;
    }
}

TEST(DiaryText, RecentFilesMoveTheSavedPathToTheFront)
{
    struct Case {
        const char* name;
        std::array<QString, 3> before;
        QString saved;
        std::array<QString, 3> after;
    };
    const QString a = QStringLiteral("/d/a.htm"), b = QStringLiteral("/d/b.htm"),
                  c = QStringLiteral("/d/c.htm"), x = QStringLiteral("/d/x.htm");
    const Case cases[] = {
        {"first save", {}, a, {a, {}, {}}},
        {"second save", {a, {}, {}}, b, {b, a, {}}},
        {"a b c gives c b a", {b, a, {}}, c, {c, b, a}},
        {"b again swaps the first two", {c, b, a}, b, {b, c, a}},
        {"a from the end moves to the front", {b, c, a}, a, {a, b, c}},
        {"a once more changes nothing", {a, b, c}, a, {a, b, c}},
        {"a new path drops the last", {a, b, c}, x, {x, a, b}},
        {"letter case makes a new entry",
         {a, b, c},
         QStringLiteral("/d/A.htm"),
         {QStringLiteral("/d/A.htm"), a, b}},
        {"gap in the middle", {a, {}, c}, x, {x, a, {}}},
    };
    for (const Case& t : cases) {
        std::array<QString, 3> list = t.before;
        document::rememberSavedFile(list, t.saved);
        EXPECT_EQ(list, t.after) << t.name;
    }
}

TEST(DiaryText, FileNameCaptionShowsNewFileOnlyForTheQuestionMark)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("?"), QStringLiteral("New File.")},
        {QStringLiteral("??"), QStringLiteral("??")},
        {QStringLiteral("/home/w/日記.htm"), QStringLiteral("/home/w/日記.htm")},
        {QString(), QString()},
    };
    for (const auto& [name, caption] : cases)
        EXPECT_EQ(document::fileNameCaption(name), caption) << name.toStdString();
}

TEST(DiaryText, FirstDifferentLineCountsTheLinesBeforeTheFirstDifference)
{
    struct Case {
        const char* a;
        const char* b;
        std::optional<int> line;
    };
    const Case cases[] = {
        {"a\nb\nc", "a\nb\nc", std::nullopt},
        {"", "", std::nullopt},
        {"x\nb", "a\nb", 0},
        {"a\nb\nc", "a\nb\nC", 2},
        {"a\nbc\n", "a\nbd\n", 1},
        {"a\nb", "a\nb\nc", 1},
        {"a\n", "a\nb", 1},
        {"a", "", 0},
    };
    for (const Case& c : cases) {
        const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
        EXPECT_EQ(document::firstDifferentLine(a, b), c.line) << c.a << " | " << c.b;
        EXPECT_EQ(document::firstDifferentLine(b, a), c.line) << c.b << " | " << c.a;
    }
}

TEST(DiaryText, ReadAndWriteFailuresNameThePath)
{
    FakeFiles files;
    const QString path = QStringLiteral("/d/日記.htm");
    files.files.insert(path, "x");
    files.unreadable.insert(path);
    files.readOnly.insert(path);
    try {
        document::readDiaryText(files, path);
        ADD_FAILURE() << "read did not fail";
    } catch (const AppError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("ﾌｧｲﾙ /d/日記.htm は開けません"));
    }
    try {
        document::writeDiaryText(files, path, QStringLiteral("y"));
        ADD_FAILURE() << "write did not fail";
    } catch (const AppError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("ﾌｧｲﾙ /d/日記.htm を作成できません"));
    }
    EXPECT_EQ(files.files.value(path), QByteArray("x"));
}

// A pipe or a device would hang the program or fill its memory; a file too big to hold a text the
// editor takes, in any encoding, would take minutes and gigabytes. Both are refused before a
// byte is read; a smaller file whose text is too long, once it is decoded.
TEST(DiaryText, WhatCannotBeEditedIsRefusedWithoutReadingIt)
{
    struct Case {
        const char* name;
        std::function<void(FakeFiles&, const QString&)> make;
        QString error; // empty: read
    };
    const QString tooBig = QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました");
    const qint64 limit = document::maxDiaryFileBytes;
    const Case cases[] = {
        {"pipe", [](FakeFiles& f, const QString& p) { f.notRegular.insert(p); },
         QStringLiteral("ﾌｧｲﾙ /d/a.htm は開けません")},
        {"one byte over the limit",
         [&](FakeFiles& f, const QString& p) { f.reportedSizes.insert(p, limit + 1); }, tooBig},
        {"at the limit", [&](FakeFiles& f, const QString& p) { f.reportedSizes.insert(p, limit); },
         QString()},
        {"a file of three bytes a character, under the length limit",
         [&](FakeFiles& f, const QString& p) { f.reportedSizes.insert(p, limit / 3 * 2); },
         QString()},
        {"a text one character over the length limit",
         [](FakeFiles& f, const QString& p) {
             f.files.insert(p, QByteArray(document::maxDiaryCharacters + 1, 'x'));
         },
         tooBig},
    };
    for (const Case& c : cases) {
        FakeFiles files;
        const QString path = QStringLiteral("/d/a.htm");
        files.files.insert(path, "x");
        c.make(files, path);
        QString error;
        try {
            EXPECT_EQ(document::readDiaryText(files, path), QStringLiteral("x")) << c.name;
        } catch (const AppError& e) {
            error = e.text();
        }
        EXPECT_EQ(error, c.error) << c.name;
        const bool decoded = c.error.isEmpty() || files.files.value(path).size() > 1;
        EXPECT_EQ(files.reads.size(), decoded ? 1 : 0) << c.name;
    }
}

TEST(DiaryText, UnencodableCharactersAreWrittenAsReferencesAndListed)
{
    FakeFiles files;
    const QString path = QStringLiteral("/d/a.htm");
    const QList<char32_t> listed =
        document::writeDiaryText(files, path, QStringLiteral("あ😀\n한😀"));
    EXPECT_EQ(files.files.value(path), QByteArray("\x82\xa0&#128512;\r\n&#54620;&#128512;"));
    EXPECT_EQ(listed, (QList<char32_t>{0x1F600, 0xD55C}));
    const QString notice = document::unencodableNotice(listed);
    EXPECT_TRUE(notice.contains(QStringLiteral("😀  &#128512;"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("한  &#54620;"))) << notice.toStdString();
}

} // namespace
