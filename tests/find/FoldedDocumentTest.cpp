#include "find/FoldedDocument.h"

#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using text::FoldedText;
using text::Folding;

// Pieces that fold in every way the search knows: widths, kana, case, a half-width kana with
// its voiced mark (which folds to one unit), marks on their own, surrogate pairs and a lone
// surrogate, and line breaks.
const QString pieces[] = {
    QStringLiteral("ｶﾞｲﾄﾞ"), QStringLiteral("ﾊﾟﾝ"),  QStringLiteral("ﾞ"),    QStringLiteral("ｶ"),
    QStringLiteral("かな"),  QStringLiteral("Ａ１"), QStringLiteral("Ab"),   QStringLiteral("😀"),
    QString(QChar(0xD800)),  QStringLiteral("\n"),   QStringLiteral("日記"),
};

QString randomPiece(QRandomGenerator& random)
{
    return pieces[random.bounded(int(std::size(pieces)))];
}

// After each random edit (typing, deleting across lines, replacing, undoing), the kept folded
// text and its offsets must be what folding the whole text afresh gives.
void expectFollowsEdits(Folding folding, quint32 seed)
{
    QRandomGenerator random(seed);
    QTextDocument document;
    QString start;
    for (int i = 0; i < 60; ++i)
        start += randomPiece(random);
    document.setPlainText(start);
    FoldedDocument folded(&document, nullptr);
    folded.text(folding);

    for (int edit = 0; edit < 200; ++edit) {
        const int length = document.characterCount() - 1;
        if (random.bounded(10) == 0 && document.isUndoAvailable()) {
            document.undo();
        } else {
            QTextCursor cursor(&document);
            const int from = random.bounded(length + 1);
            cursor.setPosition(from);
            cursor.setPosition(std::min(length, from + random.bounded(6)), QTextCursor::KeepAnchor);
            cursor.insertText(random.bounded(3) == 0 ? QString() : randomPiece(random));
        }
        if (random.bounded(3) != 0)
            continue; // several edits may come between two searches
        const FoldedText fresh(document.toRawText(), folding);
        const FoldedText& kept = folded.text(folding);
        ASSERT_EQ(kept.text(), fresh.text()) << "edit " << edit;
        for (qsizetype i = 0; i <= fresh.text().size(); ++i)
            ASSERT_EQ(kept.toOriginal(i), fresh.toOriginal(i)) << "edit " << edit << " at " << i;
        for (qsizetype i = 0; i <= document.characterCount() - 1; ++i)
            ASSERT_EQ(kept.toFolded(i), fresh.toFolded(i)) << "edit " << edit << " at " << i;
    }
}

TEST(FoldedDocument, FollowsEveryEditAsAFreshFoldWould)
{
    const Folding foldings[] = {
        {}, {true}, {false, true}, {true, true, true}, {true, true, true, true}};
    quint32 seed = 1;
    for (const Folding& folding : foldings)
        for (int run = 0; run < 5; ++run)
            expectFollowsEdits(folding, seed++);
}

// Changing the folding folds the text again, in the new way.
TEST(FoldedDocument, AnotherFoldingFoldsAfresh)
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("ｶﾞｲﾄﾞ かな"));
    FoldedDocument folded(&document, nullptr);
    EXPECT_EQ(folded.text({}).text(), QStringLiteral("ｶﾞｲﾄﾞ かな"));
    EXPECT_EQ(folded.text({false, true, true}).text(), QStringLiteral("ガイド カナ"));
}

} // namespace
