#pragma once

#include "text/TextSearch.h"

#include <QObject>

#include <optional>

class QTextDocument;

// A document's text in the folded form a search needs, kept from one search to the next. An
// edit only marks the lines it touched; the next search folds those lines again and splices
// them in, so finding after typing in a large diary does not copy and fold all of it again.
class FoldedDocument : public QObject {
    Q_OBJECT
public:
    FoldedDocument(QTextDocument* document, QObject* parent);

    // The document's text under `folding`, brought up to date first.
    const text::FoldedText& text(text::Folding folding);

private:
    void contentsChange(int position, int removed, int added);
    qsizetype documentLength() const;
    void refoldChangedLines();

    QTextDocument* document_;
    std::optional<text::FoldedText> folded_;
    // The length of the text folded_ was made from, and how many units at its start and its
    // end no edit has touched since.
    qsizetype foldedLength_ = 0;
    qsizetype unchangedHead_ = 0;
    qsizetype unchangedTail_ = 0;
};
