#include "recovery/RecoveryData.h"
#include "UnsavedWork.h"
#include "platform/EditorText.h"
#include "recovery/TextSnapshot.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>

using recovery::RecoveryData;

namespace {

RecoveryData sample()
{
    RecoveryData data;
    data.entry.year = unsaved::year();
    data.entry.month = unsaved::month();
    data.entry.day = QString();
    data.entry.weekdayText = QStringLiteral("(木)");
    data.entry.weekdayItem = 4;
    data.entry.weatherText = unsaved::weather();
    data.entry.weatherItem = -1;
    data.entry.title = unsaved::title();
    data.entry.titleCaption = unsaved::titleCaption();
    data.entry.titleShown = true;
    data.entry.body = unsaved::body();
    data.entry.bodyModified = true;
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
    EXPECT_TRUE(back->entry == data.entry); // every field, every code unit
    EXPECT_EQ(back->diaryText, data.diaryText);
    EXPECT_EQ(back->fileName, data.fileName);
    EXPECT_EQ(back->entry.weekdayItem, 4);
    EXPECT_EQ(back->entry.weatherItem, -1);
    EXPECT_TRUE(back->entry.titleShown && back->entry.bodyModified && back->hasDiary);
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

QByteArray littleEndian64(quint64 value)
{
    QByteArray raw(8, Qt::Uninitialized);
    qToLittleEndian(value, raw.data());
    return raw;
}

// A text's length is the one field a crafted file can point anywhere: the reader takes it
// only when exactly that many units follow, and refuses a file whose checksum is right but
// whose length runs past its text, past the file, or overflows when counted in bytes.
TEST(RecoveryData, ATextIsTakenOnlyAsFarAsItsBytesGo)
{
    RecoveryData data = sample();
    // A long file, so that a read past its end leaves the memory the file is in.
    data.diaryText = QString(1 << 22, u'日');
    data.fileName.clear();
    data.newDocument = true;
    // All that comes before the file name's length; its units, the new-document flag, the diary
    // file's stamp (two numbers), its encoding, the byte order mark flag, its content's hash
    // (empty: its length only) and its line ends follow.
    const QByteArray head = encoded(data).chopped(20 + 16 + 16 + 16 + 8 + 8);
    const QByteArray units("/\0a\0b\0c", 7);
    const QByteArray lastFlag = littleEndian64(1);
    const QByteArray tail = lastFlag + littleEndian64(~quint64(0)) + littleEndian64(~quint64(0))
                            + littleEndian64(0) + littleEndian64(0) + littleEndian64(0)
                            + littleEndian64(0);
    // Half the bytes of the whole file after its magic: as many units as the reader allows.
    const quint64 wholeFile = quint64(head.size() + 8 + 6 + tail.size() - 8) / 2;
    const struct {
        const char* name;
        quint64 length;
        qsizetype bytes;
        bool accepted;
    } cases[] = {
        {"ending exactly where its text ends", 3, 6, true},
        {"one unit past its text", 4, 6, false},
        {"one unit short of its text", 2, 6, false},
        {"an odd byte after its text", 3, 7, false},
        {"up to exactly the end of the file", 7, 6, false},
        {"one byte past the end of the file", 8, 7, false},
        {"as long as the whole file, near its end", wholeFile, 6, false},
        {"2^31 units", quint64(1) << 31, 6, false},
        {"2^62 units, 2^63 bytes", quint64(1) << 62, 6, false},
        {"2^63 units, 2^64 bytes", quint64(1) << 63, 6, false},
        {"all bits set", ~quint64(0), 6, false},
    };
    for (const auto& c : cases) {
        const QByteArray content = head + littleEndian64(c.length) + units.first(c.bytes) + tail;
        const QByteArray file =
            content + QCryptographicHash::hash(content, QCryptographicHash::Sha1);
        const std::optional<RecoveryData> back = recovery::readRecoveryData(file);
        EXPECT_EQ(back.has_value(), c.accepted) << c.name;
        if (back && c.accepted) {
            EXPECT_TRUE(back->fileName == u"/ab" && back->newDocument) << c.name;
        }
    }
}

// Files left by earlier versions still restore: version 3 kept no hash of the diary's content,
// version 2 no encoding of the diary either (its diaries were Shift-JIS), version 1 no stamp of
// the file either. Made here from this version's bytes without those fields.
TEST(RecoveryData, AFileOfThePreviousVersionStillReads)
{
    RecoveryData data = sample();
    data.fileModifiedMs = 1'700'000'000'000;
    data.fileSize = 12345;
    data.diaryEncoding = 2;
    data.byteOrderMark = true;
    data.fileHash = QByteArray(32, '\xA5');
    data.lineEnd = 2;
    const QByteArray current = encoded(data);
    // The hash's length, 64 hex digits in UTF-16, and the line ends.
    const qsizetype hashField = 8 + 64 * 2 + 8;
    const std::optional<RecoveryData> back = recovery::readRecoveryData(current);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->fileModifiedMs, data.fileModifiedMs);
    EXPECT_EQ(back->fileSize, data.fileSize);
    EXPECT_TRUE(back->diaryEncoding == 2 && back->byteOrderMark);
    EXPECT_EQ(back->fileHash, data.fileHash);
    EXPECT_EQ(back->lineEnd, 2);

    QByteArray third = current.chopped(20 + hashField); // the SHA-1 and the hash of the diary
    third[8] = 3;
    third += QCryptographicHash::hash(third, QCryptographicHash::Sha1);
    const std::optional<RecoveryData> encoded3 = recovery::readRecoveryData(third);
    ASSERT_TRUE(encoded3.has_value());
    EXPECT_TRUE(encoded3->diaryEncoding == 2 && encoded3->fileHash.isEmpty()
                && encoded3->lineEnd == 0);

    QByteArray second = current.chopped(20 + hashField + 16); // and the encoding and its mark
    second[8] = 2;
    second += QCryptographicHash::hash(second, QCryptographicHash::Sha1);
    const std::optional<RecoveryData> stamped = recovery::readRecoveryData(second);
    ASSERT_TRUE(stamped.has_value());
    EXPECT_EQ(stamped->fileSize, data.fileSize);
    EXPECT_TRUE(stamped->diaryEncoding == 0 && !stamped->byteOrderMark);

    QByteArray previous = current.chopped(20 + hashField + 32); // and the two stamp numbers
    previous[8] = 1; // the version, little-endian after the magic
    previous += QCryptographicHash::hash(previous, QCryptographicHash::Sha1);
    const std::optional<RecoveryData> old = recovery::readRecoveryData(previous);
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->diaryText, data.diaryText);
    EXPECT_EQ(old->fileModifiedMs, -1);
    EXPECT_FALSE(recovery::isLaterRecoveryVersion(previous));

    QByteArray later = previous;
    later[8] = 5;
    EXPECT_FALSE(recovery::readRecoveryData(later).has_value());
    EXPECT_TRUE(recovery::isLaterRecoveryVersion(later));
}

// A flag is written as 0 or 1: any other value, even under a right checksum, is not this format.
TEST(RecoveryData, AFlagOtherThanZeroOrOneIsRefused)
{
    for (const quint64 value : {quint64(0), quint64(1), quint64(2), quint64(1) << 33}) {
        QByteArray content = encoded(sample()).chopped(20);
        content.replace(content.size() - 56, 8, littleEndian64(value)); // newDocument
        const QByteArray file =
            content + QCryptographicHash::hash(content, QCryptographicHash::Sha1);
        EXPECT_EQ(recovery::readRecoveryData(file).has_value(), value <= 1) << value;
    }
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
