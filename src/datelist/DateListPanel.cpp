#include "datelist/DateListPanel.h"

#include "datelist/DateIndex.h"
#include "datelist/DateListModel.h"

#include <QCalendarWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QTextCharFormat>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

DateListPanel::DateListPanel(DateIndex* index, QWidget* parent) : QWidget(parent), index_(index)
{
    setObjectName(QStringLiteral("DateListPanel"));
    setAccessibleName(QStringLiteral("日付一覧"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* caption = new QLabel(QStringLiteral("日付一覧(&T)"), this);
    caption->setObjectName(QStringLiteral("DateListLabel"));
    layout->addWidget(caption);
    createTree();
    caption->setBuddy(DateListTree);
    layout->addWidget(DateListTree, 1);
    createCalendar();
    layout->addWidget(DateListCalendar);
    connect(index_, &DateIndex::listChanged, this, &DateListPanel::refresh);
    refresh();
}

void DateListPanel::createTree()
{
    DateListTree = new QTreeView(this);
    DateListTree->setObjectName(QStringLiteral("DateListTree"));
    DateListTree->setAccessibleName(QStringLiteral("日付一覧"));
    DateListTree->setAccessibleDescription(QStringLiteral(
        "年、月、日の順に並んだ日記です。日の行で Enter を押すとその日記へ移動します。"));
    DateListTree->setHeaderHidden(true);
    DateListTree->setUniformRowHeights(true);
    DateListTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    model_ = new DateListModel(index_, this);
    DateListTree->setModel(model_);
    connect(DateListTree, &QTreeView::activated, this, &DateListPanel::chooseRow);
    connect(DateListTree, &QTreeView::clicked, this, &DateListPanel::chooseRow);
    connect(DateListTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DateListPanel::showRow);
}

void DateListPanel::createCalendar()
{
    DateListCalendar = new QCalendarWidget(this);
    DateListCalendar->setObjectName(QStringLiteral("DateListCalendar"));
    DateListCalendar->setAccessibleName(QStringLiteral("日記のカレンダー"));
    DateListCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    DateListCalendar->setGridVisible(true);
    // Japanese month and weekday names, whatever the desktop's language.
    DateListCalendar->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    connect(DateListCalendar, &QCalendarWidget::clicked, this, &DateListPanel::chooseDay);
    connect(DateListCalendar, &QCalendarWidget::activated, this, &DateListPanel::chooseDay);
    connect(DateListCalendar, &QCalendarWidget::currentPageChanged, this, [this] { markDays(); });
    connect(DateListCalendar, &QCalendarWidget::selectionChanged, this,
            [this] { showDay(DateListCalendar->selectedDate()); });
    DateListCalendar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DateListCalendar, &QWidget::customContextMenuRequested, this,
            &DateListPanel::showCalendarMenu);
}

void DateListPanel::followPosition(int position)
{
    const int entry = index_->entryAt(position);
    const QModelIndex row = model_->indexOfEntry(entry);
    if (!row.isValid() || row == DateListTree->currentIndex())
        return;
    following_ = true;
    DateListTree->setCurrentIndex(row);
    DateListTree->scrollTo(row);
    DateListCalendar->setSelectedDate(index_->readEntries()[entry].date);
    following_ = false;
}

// A day row made current (by the arrow keys, or following the writer) shows its day in the
// calendar.
void DateListPanel::showRow(const QModelIndex& row)
{
    const int entry = row.data(DateListModel::EntryRole).toInt();
    if (following_ || !row.isValid() || entry < 0)
        return;
    following_ = true;
    DateListCalendar->setSelectedDate(index_->readEntries().value(entry).date);
    following_ = false;
}

// A day picked in the calendar makes its first entry's row current in the tree.
void DateListPanel::showDay(QDate date)
{
    if (following_)
        return;
    const QList<DiaryEntry>& entries = index_->readEntries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [date](const DiaryEntry& e) { return e.date == date; });
    if (found == entries.end())
        return;
    following_ = true;
    const QModelIndex row = model_->indexOfEntry(int(found - entries.begin()));
    DateListTree->setCurrentIndex(row);
    DateListTree->scrollTo(row);
    following_ = false;
}

void DateListPanel::showCalendarMenu(const QPoint& at)
{
    QMenu menu(DateListCalendar);
    menu.setObjectName(QStringLiteral("DateListCalendarMenu"));
    QAction* past = menu.addAction(QStringLiteral("過去の今日(&Y)..."));
    if (menu.exec(DateListCalendar->mapToGlobal(at)) == past)
        emit pastYearsAsked(DateListCalendar->selectedDate());
}

// The rows are made anew when the dates or titles change; the years and months the writer had
// open stay open, and a diary just read shows its first month, on the calendar too.
void DateListPanel::refresh()
{
    QSet<int> open = openGroups();
    const bool wasEmpty = model_->rowCount() == 0;
    model_->rebuild();
    if (wasEmpty && model_->rowCount() > 0) {
        const QModelIndex year = model_->index(0, 0);
        open << year.data(DateListModel::GroupRole).toInt()
             << model_->index(0, 0, year).data(DateListModel::GroupRole).toInt();
        DateListCalendar->setSelectedDate(index_->readEntries().first().date);
    }
    reopen(open);
    days_.clear();
    for (const DiaryEntry& entry : index_->readEntries())
        days_.append(entry.date);
    std::sort(days_.begin(), days_.end());
    days_.erase(std::unique(days_.begin(), days_.end()), days_.end());
    markDays();
}

// The years and months open in the tree, by DateListModel::GroupRole.
QSet<int> DateListPanel::openGroups() const
{
    QSet<int> open;
    for (int y = 0; y < model_->rowCount(); ++y) {
        const QModelIndex year = model_->index(y, 0);
        if (!DateListTree->isExpanded(year))
            continue;
        open.insert(year.data(DateListModel::GroupRole).toInt());
        for (int m = 0; m < model_->rowCount(year); ++m) {
            const QModelIndex month = model_->index(m, 0, year);
            if (DateListTree->isExpanded(month))
                open.insert(month.data(DateListModel::GroupRole).toInt());
        }
    }
    return open;
}

void DateListPanel::reopen(const QSet<int>& open)
{
    for (int y = 0; y < model_->rowCount(); ++y) {
        const QModelIndex year = model_->index(y, 0);
        if (!open.contains(year.data(DateListModel::GroupRole).toInt()))
            continue;
        DateListTree->expand(year);
        for (int m = 0; m < model_->rowCount(year); ++m) {
            const QModelIndex month = model_->index(m, 0, year);
            if (open.contains(month.data(DateListModel::GroupRole).toInt()))
                DateListTree->expand(month);
        }
    }
}

void DateListPanel::chooseRow(const QModelIndex& row)
{
    const int entry = row.data(DateListModel::EntryRole).toInt();
    if (!row.isValid() || entry < 0)
        return;
    DateListCalendar->setSelectedDate(index_->readEntries().value(entry).date);
    emit entryChosen(entry);
}

// The first entry of the day in the file.
void DateListPanel::chooseDay(QDate date)
{
    const QList<DiaryEntry>& entries = index_->readEntries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [date](const DiaryEntry& e) { return e.date == date; });
    if (found != entries.end())
        emit entryChosen(int(found - entries.begin()));
}

// The days with an entry on the shown page stand out; the calendar's description names them for
// a screen reader.
void DateListPanel::markDays()
{
    DateListCalendar->setDateTextFormat(QDate(), QTextCharFormat());
    const QDate first(DateListCalendar->yearShown(), DateListCalendar->monthShown(), 1);
    const QDate from = first.addDays(-7);
    const QDate to = first.addMonths(1).addDays(14);
    QTextCharFormat marked;
    marked.setFontWeight(QFont::Bold);
    marked.setFontUnderline(true);
    marked.setBackground(QColor(0xff, 0xe0, 0x99));
    marked.setForeground(Qt::black);
    QStringList named;
    for (auto it = std::lower_bound(days_.begin(), days_.end(), from);
         it != days_.end() && *it <= to; ++it) {
        DateListCalendar->setDateTextFormat(*it, marked);
        if (it->month() == first.month() && it->year() == first.year())
            named.append(QStringLiteral("%1日").arg(it->day()));
    }
    DateListCalendar->setAccessibleDescription(
        named.isEmpty() ? QStringLiteral("この月に日記はありません。")
                        : QStringLiteral("日記のある日：") + named.join(u'、'));
}
