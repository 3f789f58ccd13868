#include "recovery/RecoveryData.h"
#include "UnsavedWork.h"
#include "platform/EditorText.h"
#include "recovery/TextSnapshot.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>

using recovery::RecoveryData;

namespace {

RecoveryData sample()
{
    RecoveryData data;
    data.year = unsaved::year();
    data.month = unsaved::month();
    data.day = QString();
    data.weekdayText = QStringLiteral("(木)");
    data.weekdayItem = 4;
    data.weatherText = unsaved::weather();
    data.weatherItem = -1;
    data.title = unsaved::title();
    data.titleCaption = unsaved::titleCaption();
    data.titleShown = true;
    data.body = unsaved::body();
    data.bodyModified = true;
    data.hasDiary = true;
    data.diaryText = unsaved::diary();
    data.fileName = QStringLiteral("/home/writer/日記.htm");
    return data;
}

QByteArray encoded(const RecoveryData& data)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(recovery::writeRecoveryData(buffer, data));
    return buffer.data();
}

TEST(RecoveryData, EveryCodeUnitComesBackAsItWas)
{
    const RecoveryData data = sample();
    const std::optional<RecoveryData> back = recovery::readRecoveryData(encoded(data));
    ASSERT_TRUE(back.has_value());
    for (const auto& [name, field] :
         std::initializer_list<std::pair<const char*, QString RecoveryData::*>>{
             {"year", &RecoveryData::year},
             {"month", &RecoveryData::month},
             {"day", &RecoveryData::day},
             {"weekday", &RecoveryData::weekdayText},
             {"weather", &RecoveryData::weatherText},
             {"title", &RecoveryData::title},
             {"caption", &RecoveryData::titleCaption},
             {"body", &RecoveryData::body},
             {"diary", &RecoveryData::diaryText},
             {"file", &RecoveryData::fileName}}) {
        EXPECT_EQ((*back).*field, data.*field) << name;
    }
    EXPECT_EQ(back->weekdayItem, 4);
    EXPECT_EQ(back->weatherItem, -1);
    EXPECT_TRUE(back->titleShown && back->bodyModified && back->hasDiary);
    EXPECT_FALSE(back->newDocument);
}

TEST(RecoveryData, RefusesWhatIsNotWholeAndIntact)
{
    const QByteArray good = encoded(sample());
    QByteArray flipped = good;
    flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x01);
    QByteArray otherMagic = good;
    otherMagic[0] = 'X';
    const std::pair<const char*, QByteArray> cases[] = {
        {"cut short", good.first(good.size() - 1)},
        {"cut to the header", good.first(12)},
        {"one bit flipped", flipped},
        {"another format", otherMagic},
        {"empty", QByteArray()},
        {"trailing byte", good + '\0'},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(recovery::readRecoveryData(bytes).has_value()) << name;
}

// A file left by the previous version, which kept no stamp of the diary file, still restores:
// made here from this version's bytes without the two stamp numbers.
TEST(RecoveryData, AFileOfThePreviousVersionStillReads)
{
    RecoveryData data = sample();
    data.fileModifiedMs = 1'700'000'000'000;
    data.fileSize = 12345;
    const QByteArray current = encoded(data);
    const std::optional<RecoveryData> back = recovery::readRecoveryData(current);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->fileModifiedMs, data.fileModifiedMs);
    EXPECT_EQ(back->fileSize, data.fileSize);

    QByteArray previous = current.chopped(20 + 16); // the SHA-1 and the two stamp numbers
    previous[8] = 1;                                // the version, little-endian after the magic
    previous += QCryptographicHash::hash(previous, QCryptographicHash::Sha1);
    const std::optional<RecoveryData> old = recovery::readRecoveryData(previous);
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->diaryText, data.diaryText);
    EXPECT_EQ(old->fileModifiedMs, -1);
    EXPECT_FALSE(recovery::isLaterRecoveryVersion(previous));

    QByteArray later = previous;
    later[8] = 3;
    EXPECT_FALSE(recovery::readRecoveryData(later).has_value());
    EXPECT_TRUE(recovery::isLaterRecoveryVersion(later));
}

TEST(RecoveryData, AWriteThatFallsShortIsReported)
{
    QByteArray small;
    QBuffer full(&small);
    full.open(QIODevice::ReadOnly); // every write fails
    EXPECT_FALSE(recovery::writeRecoveryData(full, sample()));
}

// Read one line per step, the snapshot is the editor's own text, line breaks, no-break spaces,
// line separators and unpaired surrogates included.
TEST(TextSnapshot, SlicesAddUpToTheEditorsText)
{
    QPlainTextEdit editor;
    setEditorText(&editor, unsaved::diary());
    QTextCursor cursor(editor.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(QChar::LineSeparator) + QStringLiteral("末尾"));

    TextSnapshot snapshot;
    snapshot.start(editor.document());
    int steps = 1;
    while (!snapshot.step(QDeadlineTimer(0)))
        ++steps;
    EXPECT_EQ(steps, editor.document()->blockCount());
    EXPECT_EQ(snapshot.take(), editorText(&editor));

    setEditorText(&editor, QString());
    snapshot.start(editor.document());
    EXPECT_TRUE(snapshot.step(QDeadlineTimer(0)));
    EXPECT_EQ(snapshot.take(), QString());
}

// The writer types on while a snapshot is read: "L0", "L1" are read, "L2", "L3" not yet.
// Lines not yet read come as they are now; lines already read as they were read; an edit that
// joins the next line to one already read makes the reading start again.
TEST(TextSnapshot, EditsDuringAReadingGiveWholeLinesOfOneMomentOrAnother)
{
    struct Case {
        const char* name;
        std::function<void(QTextCursor&)> edit;
        QString expected;
    };
    const auto select = [](QTextCursor& c, int from, int to) {
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
    };
    const Case cases[] = {
        {"typing in a line not yet read",
         [&](QTextCursor& c) {
             c.setPosition(7);
             c.insertText(QStringLiteral("x"));
         },
         QStringLiteral("L0\r\nL1\r\nLx2\r\nL3")},
        {"typing in a line already read",
         [&](QTextCursor& c) {
             c.setPosition(1);
             c.insertText(QStringLiteral("x"));
         },
         QStringLiteral("L0\r\nL1\r\nL2\r\nL3")},
        {"a line break in a line already read",
         [&](QTextCursor& c) {
             c.setPosition(4);
             c.insertBlock();
         },
         QStringLiteral("L0\r\nL1\r\nL2\r\nL3")},
        {"deleting the start of the next line",
         [&](QTextCursor& c) {
             select(c, 6, 7);
             c.removeSelectedText();
         },
         QStringLiteral("L0\r\nL1\r\n2\r\nL3")},
        {"joining the next line to a line already read",
         [&](QTextCursor& c) {
             select(c, 5, 6);
             c.removeSelectedText();
         },
         QStringLiteral("L0\r\nL1L2\r\nL3")},
        {"deleting across both",
         [&](QTextCursor& c) {
             select(c, 4, 8);
             c.removeSelectedText();
         },
         QStringLiteral("L0\r\nL\r\nL3")},
        {"the whole text replaced",
         [&](QTextCursor& c) { c.document()->setPlainText(QStringLiteral("新")); },
         QStringLiteral("新")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QPlainTextEdit editor;
        setEditorText(&editor, QStringLiteral("L0\r\nL1\r\nL2\r\nL3"));
        QTextDocument* document = editor.document();
        TextSnapshot snapshot;
        QObject::connect(document, &QTextDocument::contentsChange,
                         [&](int position, int removed, int added) {
                             snapshot.noteChange(document, position, removed, added);
                         });
        snapshot.start(document);
        ASSERT_FALSE(snapshot.step(QDeadlineTimer(0)));
        ASSERT_FALSE(snapshot.step(QDeadlineTimer(0)));
        QTextCursor cursor(document);
        c.edit(cursor);
        while (!snapshot.step(QDeadlineTimer(0))) {
        }
        EXPECT_EQ(snapshot.take(), c.expected);
    }
}

} // namespace
