#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/EntryInserter.h"
#include "entry/HtmlSettings.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/FileDialogs.h"
#include "platform/ItemComboBox.h"
#include "support/FakePlatform.h"
#include "support/FileCodecs.h"
#include "support/TodayControls.h"
#include "support/Typing.h"
#include "text/JisTwins.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using text::Encoding;

namespace {

enum class Edit { Type, Delete, InsertEntry };

// Diaries as other tools write them, by name: the files in other_tools/.
QMap<QString, QByteArray> otherToolsDiaries()
{
    QMap<QString, QByteArray> diaries;
    const QDir folder(QStringLiteral(PELMORA_OTHER_TOOLS_CORPUS));
    for (const QString& name : folder.entryList(QDir::Files)) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        diaries[name] = file.readAll();
    }
    return diaries;
}

// A random diary in the encoding and one line-end style: markup, line ends, and characters of
// any code the encoding has (a random pair or triple that reads as one character, so that
// duplicates come with each of their codes), for UTF-8 any character.
QByteArray randomDiary(Encoding encoding, QRandomGenerator& random)
{
    const QByteArray lineEnd = QList<QByteArray>{"\r\n", "\n", "\r"}[random.bounded(3)];
    QByteArray bytes = "<meta charset=" + text::charsetLabel(encoding).toLatin1() + ">" + lineEnd;
    while (bytes.size() < 600) {
        const char32_t c = random.bounded(0x80, 0x30000);
        QByteArray code = QByteArray(1, char(random.bounded(0x81, 0xFF)))
                          + char(random.bounded(0x40, 0xFF)) + char(random.bounded(0xA1, 0xFF));
        if (encoding == Encoding::Utf8)
            code = QChar::isSurrogate(c) ? QByteArray() : QString::fromUcs4(&c, 1).toUtf8();
        else if (code[0] != '\x8F')
            code.chop(1);
        const QString read = decodeIn(code, encoding);
        if (read.size() == 1 && !(read[0].unicode() >= 0xF780 && read[0].unicode() <= 0xF7FF))
            bytes += code;
        bytes += random.bounded(8) ? QByteArray() : random.bounded(2) ? lineEnd : "<br>a";
    }
    return bytes;
}

// The text as a file reads it back: each line end LF, and a JIS character typed into a Shift-JIS
// or EUC-JP diary as its Windows twin, which the file holds.
QString asReadBack(QString text)
{
    text.replace(QChar::ParagraphSeparator, u'\n');
    for (QChar& c : text)
        c = QChar(text::windowsTwin(c.unicode()));
    return text;
}

// How many bytes a and b share at their start, and at their end, without overlapping in the
// shorter.
qsizetype shared(const QByteArray& a, const QByteArray& b)
{
    const qsizetype most = std::min(a.size(), b.size());
    qsizetype head = 0, tail = 0;
    while (head < most && a[head] == b[head])
        ++head;
    while (tail < most - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    return head + tail;
}

// The diary tab and the first tab as the main window holds them, an entry ready to insert.
class UntouchedBytesTest : public testing::Test {
protected:
    UntouchedBytesTest()
    {
        fake.clock.date = QDate(2024, 5, 3);
        entry::FillHtmlDefaults(state.Html, state.NewProcessFlag);
        state.ProgramFolder = u"/opt/pelmora/"_s;
        today->ClearTodayEntry();
        ui.WeatherBox->selectItem(0);
        state.TodayTitle = u"散歩"_s;
        setEditorText(ui.TodayMemo, u"髙橋さんと〜\r\n山﨑へ"_s);
    }

    // Opens the diary, makes the edit at a random place and saves; the saved bytes.
    QByteArray editAndSave(const QByteArray& bytes, Edit edit, QRandomGenerator& random)
    {
        fake.files.files[path] = bytes;
        EXPECT_TRUE(document->OpenDiaryFile(path));
        const QString text = rawEditorText(diary->AllMemo);
        int at = int(random.bounded(text.size() + 1));
        if (at > 0 && at < text.size() && text[at].isLowSurrogate())
            --at;
        QTextCursor cursor = diary->AllMemo->textCursor();
        cursor.setPosition(at);
        diary->AllMemo->setTextCursor(cursor);
        switch (edit) {
        case Edit::Type:
            typeText(diary->AllMemo, QStringList{u"x"_s, u"あ"_s, u"〜"_s}[at % 3]);
            break;
        case Edit::Delete: QTest::keyClick(diary->AllMemo, Qt::Key_Delete); break;
        case Edit::InsertEntry:
            fake.messages.answer({MsgAnswer::Yes});
            inserter.InsertDiaryBtnClick();
            break;
        }
        EXPECT_TRUE(document->SaveDiary());
        return fake.files.files.value(path);
    }

    const QString path = u"/home/w/diary.htm"_s;
    FakePlatform fake;
    MainState state;
    QWidget host;
    TodayEntryTab* today = new TodayEntryTab(state, fake.clock, &host);
    const TodayControls ui{today};
    DiaryFileTab* diary = new DiaryFileTab(&host);
    FileDialogSettings openDialog, saveDialog;
    DiaryDocument* document =
        new DiaryDocument(state, diary, fake.platform(), openDialog, saveDialog, {}, &host);
    EntryInserter inserter{today, diary, state, fake.platform(), [] { return QString(); }};
};

// Open, one edit at a random place, save: every byte outside the edit is the byte it was, in
// files of every encoding and line-end style, and the file reads back as the edited text.
TEST_F(UntouchedBytesTest, OneEditChangesNoByteOutsideIt)
{
    QRandomGenerator random(33);
    QMap<QString, QByteArray> diaries = otherToolsDiaries();
    ASSERT_GE(diaries.size(), 8);
    for (int k = 0; k < 30; ++k)
        diaries[u"random %1"_s.arg(k)] = randomDiary(Encoding(k % 3), random);
    for (const auto& [name, bytes] : diaries.asKeyValueRange()) {
        for (const Edit edit : {Edit::Type, Edit::Delete, Edit::InsertEntry}) {
            const QByteArray saved = editAndSave(bytes, edit, random);
            const std::string what = name.toStdString() + " edit " + std::to_string(int(edit));
            // A deletion leaves the file less one run of bytes; the others add one.
            EXPECT_EQ(shared(bytes, saved), (edit == Edit::Delete ? saved : bytes).size()) << what;
            EXPECT_EQ(asReadBack(text::decodeToEditor(saved, document->encoding())),
                      asReadBack(rawEditorText(diary->AllMemo)))
                << what;
        }
    }
}

} // namespace
