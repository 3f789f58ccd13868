#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/EntryInserter.h"
#include "entry/HtmlSettings.h"
#include "entry/ItemComboBox.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/FileDialogs.h"
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

// Diaries as other tools write them: the files in other_tools/, and random ones made of every
// kind of code each encoding has, duplicates with each of their codes, in one line-end style.
struct Diary {
    std::string name;
    QByteArray bytes;
};

QList<Diary> otherToolsDiaries()
{
    QList<Diary> diaries;
    const QDir folder(QStringLiteral(PELMORA_OTHER_TOOLS_CORPUS));
    for (const QString& name : folder.entryList(QDir::Files)) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        diaries.append({name.toStdString(), file.readAll()});
    }
    return diaries;
}

// One character of the encoding, any code it has (a random pair or triple that reads as one
// character), or for UTF-8 any character.
QByteArray randomCharacter(Encoding encoding, QRandomGenerator& random)
{
    for (;;) {
        QByteArray code;
        if (encoding == Encoding::Utf8) {
            const char32_t c = random.bounded(8) ? random.bounded(0x80, 0x10000)
                                                 : random.bounded(0x10000, 0x110000);
            if (!QChar::isSurrogate(c))
                return QString::fromUcs4(&c, 1).toUtf8();
            continue;
        }
        const int lead =
            encoding == Encoding::EucJp ? random.bounded(0x8E, 0xFF) : random.bounded(0x81, 0xFD);
        code += char(lead);
        code += char(random.bounded(0x40, 0xFF));
        if (lead == 0x8F)
            code += char(random.bounded(0xA1, 0xFF));
        const QString read = decodeIn(code, encoding);
        if (read.size() == 1 && !(read[0].unicode() >= 0xF780 && read[0].unicode() <= 0xF7FF))
            return code;
    }
}

Diary randomDiary(Encoding encoding, QRandomGenerator& random)
{
    const char* lineEnds[] = {"\r\n", "\n", "\r"};
    const char* lineEnd = lineEnds[random.bounded(3)];
    const char* charset[] = {"Shift_JIS", "EUC-JP", "UTF-8"};
    QByteArray bytes = QByteArray("<meta charset=") + charset[int(encoding)] + ">" + lineEnd;
    for (int k = random.bounded(50, 300); k > 0; --k) {
        const int kind = random.bounded(10);
        bytes += kind == 0  ? QByteArray(lineEnd)
                 : kind < 3 ? QByteArray("<p>a")
                            : randomCharacter(encoding, random);
    }
    return {"random " + QByteArray(charset[int(encoding)]).toStdString() + " "
                + QByteArray(lineEnd).toHex().toStdString(),
            bytes};
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
    QList<Diary> diaries = otherToolsDiaries();
    ASSERT_GE(diaries.size(), 8);
    for (int k = 0; k < 30; ++k)
        diaries.append(randomDiary(Encoding(k % 3), random));
    for (const Diary& d : diaries) {
        for (const Edit edit : {Edit::Type, Edit::Delete, Edit::InsertEntry}) {
            const QByteArray saved = editAndSave(d.bytes, edit, random);
            // A deletion leaves the file less one run of bytes; the others add one.
            const QByteArray& shorter = edit == Edit::Delete ? saved : d.bytes;
            EXPECT_EQ(shared(d.bytes, saved), shorter.size()) << d.name << " edit " << int(edit);
            EXPECT_EQ(asReadBack(text::decodeToEditor(saved, document->encoding())),
                      asReadBack(rawEditorText(diary->AllMemo)))
                << d.name << " edit " << int(edit);
        }
    }
}

} // namespace
