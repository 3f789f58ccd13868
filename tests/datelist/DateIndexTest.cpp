#include "datelist/DateIndex.h"

#include <QCoreApplication>
#include <QPlainTextDocumentLayout>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;

const datelist::EntryMarks marks = {
    QStringLiteral("<b>"), QStringLiteral("<i>"), QStringLiteral("</i>"), {}};

QString entry(int day, const QString& title = {})
{
    QString text = QStringLiteral("<b>1999年3月%1日</b>\n").arg(day);
    if (!title.isEmpty())
        text += QStringLiteral("<i>%1</i>\n").arg(title);
    return text + QStringLiteral("本文、2000年1月1日に。\n");
}

struct Seen {
    int position;
    QDate date;
    QString title;
    friend bool operator==(const Seen&, const Seen&) = default;
};

QList<Seen> seen(const QList<DiaryEntry>& entries)
{
    QList<Seen> list;
    for (const DiaryEntry& e : entries)
        list.append({e.position, e.date, e.title});
    return list;
}

void PrintTo(const Seen& s, std::ostream* os)
{
    *os << s.position << ' ' << s.date.toString(Qt::ISODate).toStdString() << ' '
        << s.title.toStdString();
}

class DateIndexTest : public testing::Test {
protected:
    void SetUp() override
    {
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        document.setPlainText(entry(27, QStringLiteral("花見")) + entry(25) + entry(21));
    }
    // What an index made now, reading the whole text, finds.
    QList<Seen> fresh()
    {
        DateIndex other(&document, marks, nullptr);
        return seen(other.entries());
    }
    int at(const QString& text) { return int(document.toRawText().indexOf(text)); }

    QTextDocument document;
};

TEST_F(DateIndexTest, TheListFollowsEveryKindOfEdit)
{
    DateIndex index(&document, marks, nullptr);
    ASSERT_EQ(index.entries().size(), 3);
    QSignalSpy changes(&index, &DateIndex::listChanged);
    const struct {
        const char* name;
        std::function<void()> edit;
        qsizetype count;
    } cases[] = {
        {"an entry inserted in the middle",
         [&] { QTextCursor(document.findBlockByNumber(5)).insertText(entry(26, u"雨"_s)); }, 4},
        {"a character typed in a body",
         [&] {
             QTextCursor c(&document);
             c.setPosition(at(u"本文"_s));
             c.insertText(u"あ"_s);
         },
         4},
        {"a title typed on the line after a date",
         [&] {
             QTextCursor c(&document);
             c.setPosition(at(u"<b>1999年3月25日</b>"_s));
             c.movePosition(QTextCursor::EndOfBlock);
             c.insertText(u"\n<i>晴れ</i>"_s);
         },
         4},
        {"undo of the title", [&] { document.undo(); }, 4},
        {"a date taken out of its line",
         [&] {
             QTextCursor c(&document);
             c.setPosition(at(u"1999年3月21日"_s));
             c.setPosition(at(u"1999年3月21日"_s) + 10, QTextCursor::KeepAnchor);
             c.removeSelectedText();
         },
         3},
        {"undo of the removal", [&] { document.undo(); }, 4},
        {"every date changed in one edit block",
         [&] {
             QTextCursor c(&document);
             c.beginEditBlock();
             for (int pos = at(u"1999年"_s); pos >= 0;
                  pos = int(document.toRawText().indexOf(u"1999年"_s, pos + 1))) {
                 c.setPosition(pos);
                 c.setPosition(pos + 4, QTextCursor::KeepAnchor);
                 c.insertText(u"2001"_s);
             }
             c.endEditBlock();
         },
         4},
        {"undo of that block", [&] { document.undo(); }, 4},
        {"a comment opened above the last three entries",
         [&] {
             QTextCursor c(&document);
             c.setPosition(at(u"<b>1999年3月25日"_s));
             c.insertText(u"<!--\n"_s);
         },
         1},
        {"the comment closed before the last",
         [&] {
             QTextCursor c(&document);
             c.setPosition(at(u"<b>1999年3月21日"_s));
             c.insertText(u"-->\n"_s);
         },
         2},
        {"both undone",
         [&] {
             document.undo();
             document.undo();
         },
         4},
        {"the entry inserted first undone",
         [&] {
             while (document.isUndoAvailable())
                 document.undo();
         },
         3},
        {"a whole new text", [&] { document.setPlainText(entry(1) + entry(2)); }, 2},
    };
    for (const auto& c : cases) {
        c.edit();
        QCoreApplication::processEvents(); // the reading in slices
        EXPECT_TRUE(index.isCurrent()) << c.name;
        EXPECT_EQ(seen(index.readEntries()), fresh()) << c.name;
        EXPECT_EQ(index.readEntries().size(), c.count) << c.name;
    }
    EXPECT_GE(changes.count(), 6);
}

// Typing here and there, before the list is read again: the entries after each edit move with
// it, those before stay, whichever way the edits go.
TEST_F(DateIndexTest, TheEntryAtAPlaceIsRightAfterEditsHereAndThere)
{
    document.setPlainText(entry(27) + entry(25) + entry(21) + entry(18) + entry(12));
    DateIndex index(&document, marks, nullptr);
    index.entries();
    const struct {
        const char* where;
        int body; // the entry whose body is typed into
        const char* text;
    } edits[] = {{"in the middle", 2, "あい"},  {"further down", 3, "う"},
                 {"further up", 0, "えおか\n"}, {"in the middle again", 2, "き"},
                 {"at the end", 4, "く"},       {"at the top", 0, "け"}};
    for (const auto& edit : edits) {
        QTextCursor c(&document);
        int body = -1;
        for (int i = 0; i <= edit.body; ++i)
            body = int(document.toRawText().indexOf(u"本文"_s, body + 1));
        c.setPosition(body);
        c.insertText(QString::fromUtf8(edit.text));
        QCoreApplication::processEvents();
        const QList<Seen> now = fresh();
        for (int i = 0; i < int(now.size()); ++i) {
            EXPECT_EQ(index.entryAt(now[i].position), i) << edit.where;
            EXPECT_EQ(index.entryAt(now[i].position - 1), i - 1) << edit.where;
        }
    }
    EXPECT_EQ(seen(index.readEntries()), fresh());
}

TEST_F(DateIndexTest, TypingInABodyLeavesTheListAsItWasAndSaysNothing)
{
    DateIndex index(&document, marks, nullptr);
    const QList<Seen> before = seen(index.entries());
    QSignalSpy changes(&index, &DateIndex::listChanged);
    QTextCursor c(&document);
    c.setPosition(at(u"本文"_s));
    c.insertText(u"あい"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(changes.count(), 0);
    ASSERT_EQ(index.readEntries().size(), 3);
    EXPECT_EQ(index.readEntries()[0].position, before[0].position);
    EXPECT_EQ(index.readEntries()[1].position, before[1].position + 2);
}

} // namespace
