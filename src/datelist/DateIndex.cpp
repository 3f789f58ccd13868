#include "datelist/DateIndex.h"

#include <QElapsedTimer>
#include <QTextDocument>

#include <algorithm>

namespace {

// Well under a frame, so that a slice stays under 16 ms on a busy machine too.
constexpr int sliceMs = 6;

bool sameList(const QList<DiaryEntry>& a, qsizetype aFrom, qsizetype aTo,
              const QList<DiaryEntry>& b)
{
    if (aTo - aFrom != b.size())
        return false;
    for (qsizetype i = 0; i < b.size(); ++i) {
        const DiaryEntry& old = a[aFrom + i];
        if (old.date != b[i].date || old.title != b[i].title)
            return false;
    }
    return true;
}

} // namespace

DateIndex::DateIndex(QTextDocument* document, const datelist::EntryMarks& marks, QObject* parent)
    : QObject(parent), document_(document), marks_(marks)
{
    slices_.setSingleShot(true);
    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &DateIndex::readInSlices);
    connect(document_, &QTextDocument::contentsChange, this, &DateIndex::contentsChange);
    slices_.start();
}

int DateIndex::documentLength() const
{
    return document_->characterCount() - 1;
}

// The document reports an edit after it happened, in its new offsets; Qt may report more than
// was changed (the whole text for a new one), never less. A reading under way starts again.
void DateIndex::contentsChange(int position, int /*removed*/, int added)
{
    unchangedHead_ = std::min(unchangedHead_, position);
    unchangedTail_ = std::min(unchangedTail_, std::max(documentLength() - (position + added), 0));
    changed_ = true;
    reading_ = false;
    // Started once for a run of edits: restarting a timer at each of the 10,000 edits of a
    // replace-all would cost more than the edits.
    if (!slices_.isActive())
        slices_.start();
}

void DateIndex::setMarks(const datelist::EntryMarks& marks)
{
    if (marks.dateStart == marks_.dateStart && marks.titleStart == marks_.titleStart
        && marks.titleEnd == marks_.titleEnd)
        return;
    marks_ = marks;
    unchangedHead_ = unchangedTail_ = 0;
    changed_ = true;
    reading_ = false;
    slices_.start();
}

const QList<DiaryEntry>& DateIndex::entries()
{
    if (changed_ && !reading_)
        startReading();
    if (reading_) {
        readLines(-1);
        finishReading();
    }
    return entries_;
}

// The lines to read again: from the one before the first changed line (its title may have
// changed) to the last changed line.
void DateIndex::startReading()
{
    const int length = documentLength();
    QTextBlock first = document_->findBlock(std::min(unchangedHead_, length));
    if (first.previous().isValid())
        first = first.previous();
    const QTextBlock last = document_->findBlock(std::max(length - unchangedTail_, 0));
    from_ = first.position();
    to_ = last.position() + last.length() - 1;
    next_ = first;
    found_.clear();
    reading_ = true;
    changed_ = false;
}

bool DateIndex::readLines(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    int count = 0;
    while (next_.isValid() && next_.position() <= to_) {
        const QTextBlock line = next_;
        next_ = next_.next();
        if (const std::optional<QDate> date = datelist::entryDateOfLine(line.text(), marks_)) {
            const QString title =
                next_.isValid() ? datelist::entryTitleOfLine(next_.text(), marks_) : QString();
            found_.append({line.position(), *date, title});
        }
        if (budgetMs >= 0 && ++count % 64 == 0 && clock.elapsed() >= budgetMs)
            return false;
    }
    return true;
}

// The entries before the lines read stay where they were; those after them move by the change
// in length.
void DateIndex::finishReading()
{
    reading_ = false;
    const int length = documentLength();
    const int shift = length - lengthRead_;
    auto byPosition = [](const DiaryEntry& entry, int position) {
        return entry.position < position;
    };
    const auto headEnd = std::lower_bound(entries_.begin(), entries_.end(), from_, byPosition);
    auto tailStart =
        std::lower_bound(entries_.begin(), entries_.end(), to_ - shift + 1, byPosition);
    tailStart = std::max(tailStart, headEnd);
    const qsizetype first = headEnd - entries_.begin();
    const qsizetype end = tailStart - entries_.begin();
    const bool same = sameList(entries_, first, end, found_);
    for (auto it = tailStart; it != entries_.end(); ++it)
        it->position += shift;
    entries_.remove(first, end - first);
    entries_.insert(first, found_.size(), DiaryEntry{});
    std::move(found_.begin(), found_.end(), entries_.begin() + first);
    found_.clear();
    lengthRead_ = length;
    unchangedHead_ = unchangedTail_ = length;
    if (!same)
        emit listChanged();
}

void DateIndex::readInSlices()
{
    if (changed_ && !reading_)
        startReading();
    if (!reading_)
        return;
    if (readLines(sliceMs))
        finishReading();
    else
        slices_.start();
}
