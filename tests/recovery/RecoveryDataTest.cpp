#include "recovery/RecoveryData.h"
#include "UnsavedWork.h"
#include "platform/EditorText.h"
#include "recovery/TextSnapshot.h"

#include <QBuffer>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <gtest/gtest.h>

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

} // namespace
