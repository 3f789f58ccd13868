#include "datelist/DateIndex.h"

#include <QElapsedTimer>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace {

// Well under a frame, so that a slice stays under 16 ms on a busy machine too.
constexpr int sliceMs = 6;
// How many lines after a date line may hold the entry's title.
constexpr int titleLines = 4;

template <typename T> auto firstAtOrAfter(QList<T>& list, int position)
{
    return std::lower_bound(list.begin(), list.end(), position,
                            [](const T& item, int p) { return item.position < p; });
}

// The range of the items of `list` between from and to (positions in the text now, the items'
// own from before the edit); the items after it move by `shift`, the change in the text's
// length.
template <typename T>
std::pair<qsizetype, qsizetype> shiftAfter(QList<T>& list, int from, int to, int shift)
{
    const auto headEnd = firstAtOrAfter(list, from);
    const auto tailStart = std::max(firstAtOrAfter(list, to - shift + 1), headEnd);
    const qsizetype first = headEnd - list.begin();
    const qsizetype end = tailStart - list.begin();
    for (auto it = tailStart; it != list.end(); ++it)
        it->position += shift;
    return {first, end};
}

// Puts `found` in place of the items of `list` from `first` to `end`. After a keystroke they
// are as many as before, and the items after them, a whole diary's, stay where they are.
template <typename T>
void replaceRange(QList<T>& list, qsizetype first, qsizetype end, QList<T>& found)
{
    const qsizetype kept = std::min(end - first, found.size());
    std::move(found.begin(), found.begin() + kept, list.begin() + first);
    if (found.size() > kept) {
        list.insert(first + kept, found.size() - kept, T{});
        std::move(found.begin() + kept, found.end(), list.begin() + first + kept);
    } else {
        list.remove(first + kept, end - first - kept);
    }
    found.clear();
}

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
    if (marks == marks_)
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
    return readEntries();
}

// The lines to read again: from a few before the first changed line (the title of an entry
// above may have changed) to the last changed line, and on while a line ends otherwise than
// it did.
void DateIndex::startReading()
{
    const int length = documentLength();
    QTextBlock first = document_->findBlock(std::min(unchangedHead_, length));
    for (int i = 0; i < titleLines && first.previous().isValid(); ++i)
        first = first.previous();
    const QTextBlock last = document_->findBlock(std::max(length - unchangedTail_, 0));
    from_ = first.position();
    to_ = last.position() + last.length() - 1;
    next_ = first;
    nextPosition_ = from_;
    const auto known = firstAtOrAfter(markupStarts_, from_);
    state_ = known != markupStarts_.end() && known->position == from_ ? known->context
                                                                      : datelist::LineContext();
    found_.clear();
    foundStarts_.clear();
    reading_ = true;
    changed_ = false;
}

bool DateIndex::readLines(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    int count = 0;
    while (next_.isValid()) {
        // Where each line starts is counted along: asking the block costs a search of the
        // document's tree, for each of a million lines.
        const int position = nextPosition_;
        const int length = next_.length();
        if (position > to_) {
            if (state_ == oldStartAfter(position))
                break;
            to_ = position + length - 1; // a comment opened or closed above
        }
        const QTextBlock line = next_;
        next_ = next_.next();
        nextPosition_ += length;
        if (state_ != datelist::LineContext())
            foundStarts_.append({position, state_});
        const datelist::EntryLine read = datelist::readEntryLine(line.text(), state_, marks_);
        state_ = read.end;
        if (read.date)
            readEntryAt(line, position, *read.date);
        if (budgetMs >= 0 && ++count % 64 == 0 && clock.elapsed() >= budgetMs)
            return false;
    }
    return true;
}

// The title is on the first line after the date that has text, if that line is one; the tags
// of the lines without text before it count with it ("<P><B>" on a line, the title on the
// next, or a tag over two lines).
void DateIndex::readEntryAt(const QTextBlock& line, int position, const QDate& date)
{
    QString title;
    datelist::LineContext state = state_;
    QString tags;
    QTextBlock after = line.next();
    for (int i = 0; i < titleLines && after.isValid(); ++i, after = after.next()) {
        const QString text = after.text();
        const datelist::EntryLine read = datelist::readEntryLine(text, state, marks_);
        if (read.date)
            break;
        const QString withTags = tags.isEmpty() ? text : tags + u' ' + text;
        if (const std::optional<QString> found =
                datelist::titleOfLine(withTags, state_.html, marks_)) {
            title = *found;
            break;
        }
        tags = withTags;
        state = read.end;
    }
    found_.append({position, date, title});
}

datelist::LineContext DateIndex::oldStartAfter(int position) const
{
    const int old = position - (documentLength() - lengthRead_);
    const auto known =
        std::lower_bound(markupStarts_.begin(), markupStarts_.end(), old,
                         [](const LineStart& start, int p) { return start.position < p; });
    return known != markupStarts_.end() && known->position == old ? known->context
                                                                  : datelist::LineContext();
}

// The entries before the lines read stay where they were; those after them move by the change
// in length.
void DateIndex::finishReading()
{
    reading_ = false;
    const int length = documentLength();
    const int shift = length - lengthRead_;
    const qsizetype first = firstEntryAtOrAfter(from_);
    const qsizetype end = std::max(firstEntryAtOrAfter(to_ - shift + 1), first);
    moveEntriesFrom(end, shift);
    const bool same = sameList(entries_, first, end, found_);
    const qsizetype added = found_.size() - (end - first);
    replaceRange(entries_, first, end, found_);
    movingFrom_ += added;
    const auto [firstStart, endStart] = shiftAfter(markupStarts_, from_, to_, shift);
    replaceRange(markupStarts_, firstStart, endStart, foundStarts_);
    lengthRead_ = length;
    unchangedHead_ = unchangedTail_ = length;
    if (!same)
        emit listChanged();
    emit entriesPlaced();
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

int DateIndex::entryAt(int position) const
{
    return int(firstEntryAtOrAfter(position + 1)) - 1;
}

const QList<DiaryEntry>& DateIndex::readEntries() const
{
    if (moving_ != 0)
        addToPositions(movingFrom_, entries_.size(), std::exchange(moving_, 0));
    return entries_;
}

int DateIndex::positionOf(qsizetype entry) const
{
    return entries_[entry].position + (entry >= movingFrom_ ? moving_ : 0);
}

qsizetype DateIndex::firstEntryAtOrAfter(int position) const
{
    qsizetype low = 0;
    qsizetype high = entries_.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (positionOf(middle) < position)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void DateIndex::addToPositions(qsizetype from, qsizetype to, int shift) const
{
    DiaryEntry* entries = entries_.data();
    for (qsizetype i = from; i < to; ++i)
        entries[i].position += shift;
}

// The entries from `from` on move by `shift`. With those still to move, one move is left to
// come, from the later of the two; the entries between them are moved now: as the writer types
// in one place, none.
void DateIndex::moveEntriesFrom(qsizetype from, int shift)
{
    if (moving_ == 0)
        movingFrom_ = from;
    else if (from >= movingFrom_)
        addToPositions(std::exchange(movingFrom_, from), from, moving_);
    else
        addToPositions(from, movingFrom_, shift);
    moving_ += shift;
}
