#include "find/FoldedDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

FoldedDocument::FoldedDocument(QTextDocument* document, QObject* parent)
    : QObject(parent), document_(document)
{
    // A document reports its edits only once it has a layout; an editor's always has one.
    document_->documentLayout();
    connect(document_, &QTextDocument::contentsChange, this, &FoldedDocument::contentsChange);
}

const text::FoldedText& FoldedDocument::text(text::Folding folding)
{
    if (folded_ && folded_->folding() == folding)
        refoldChangedLines();
    else
        folded_.reset();
    if (!folded_) {
        folded_.emplace(document_->toRawText(), folding);
        foldedLength_ = documentLength();
        unchangedHead_ = unchangedTail_ = foldedLength_;
    }
    return *folded_;
}

// The raw text's length: the document counts one more character, the end of its last line.
qsizetype FoldedDocument::documentLength() const
{
    return document_->characterCount() - 1;
}

// The document reports an edit after it happened, in its new offsets; what lies after the
// added text is as it was. Qt may report more than was changed (the whole text for a new
// one), never less, so the untouched ends only ever shrink.
void FoldedDocument::contentsChange(int position, int /*removed*/, int added)
{
    if (!folded_)
        return;
    unchangedHead_ = std::min<qsizetype>(unchangedHead_, position);
    const qsizetype after = documentLength() - (qsizetype(position) + added);
    unchangedTail_ = std::min(unchangedTail_, std::max<qsizetype>(after, 0));
}

// The changed part is widened to whole lines, where folding starts afresh, and only that is
// folded again. When most of the text changed, folding all of it is as quick.
void FoldedDocument::refoldChangedLines()
{
    const qsizetype length = documentLength();
    if (unchangedHead_ == foldedLength_ && unchangedTail_ == foldedLength_
        && length == foldedLength_)
        return;
    const qsizetype changedEnd = std::max(length - unchangedTail_, unchangedHead_);
    const qsizetype from = document_->findBlock(int(unchangedHead_)).position();
    const QTextBlock last = document_->findBlock(int(changedEnd));
    const qsizetype to =
        last.isValid() ? std::min(length, qsizetype(last.position()) + last.length()) : length;
    if (to - from > length / 2) {
        folded_.reset();
        return;
    }
    QTextCursor cursor(document_);
    cursor.setPosition(int(from));
    cursor.setPosition(int(to), QTextCursor::KeepAnchor);
    folded_->replace(from, foldedLength_ - (length - to), cursor.selectedText());
    foldedLength_ = length;
    unchangedHead_ = unchangedTail_ = length;
}
