#include "datelist/DateListModel.h"

#include "datelist/DateIndex.h"
#include "datelist/EntryDates.h"

#include <algorithm>

namespace {

constexpr int levelShift = 62;
constexpr int yearShift = 31;
constexpr quint64 lowMask = (quint64(1) << yearShift) - 1;

quint64 idOf(quint64 level, quint64 high, quint64 low)
{
    return (level << levelShift) | (high << yearShift) | low;
}

} // namespace

DateListModel::DateListModel(DateIndex* index, QObject* parent)
    : QAbstractItemModel(parent), index_(index)
{
    rebuild();
}

void DateListModel::rebuild()
{
    beginResetModel();
    years_.clear();
    months_.clear();
    const QList<DiaryEntry>& entries = index_->readEntries();
    for (int i = 0; i < int(entries.size()); ++i) {
        const QDate date = entries[i].date;
        if (years_.isEmpty() || years_.last().value != date.year()) {
            years_.append({date.year(), i, 0});
            months_.append(QList<Group>());
        }
        ++years_.last().count;
        QList<Group>& months = months_.last();
        if (months.isEmpty() || months.last().value != date.month())
            months.append({date.month(), i, 0});
        ++months.last().count;
    }
    endResetModel();
}

DateListModel::Level DateListModel::levelOf(const QModelIndex& index)
{
    return Level(index.internalId() >> levelShift);
}

std::pair<int, int> DateListModel::groupsOf(int entry) const
{
    auto before = [](int value, const Group& group) { return value < group.first; };
    const int year =
        int(std::upper_bound(years_.begin(), years_.end(), entry, before) - years_.begin()) - 1;
    const QList<Group>& months = months_[year];
    const int month =
        int(std::upper_bound(months.begin(), months.end(), entry, before) - months.begin()) - 1;
    return {year, month};
}

QModelIndex DateListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, idOf(YearLevel, 0, quint64(row)));
    const quint64 id = parent.internalId();
    if (levelOf(parent) == YearLevel)
        return createIndex(row, 0, idOf(MonthLevel, id & lowMask, quint64(row)));
    const Group& month = months_[int((id >> yearShift) & lowMask)][int(id & lowMask)];
    return createIndex(row, 0, idOf(DayLevel, 0, quint64(month.first + row)));
}

QModelIndex DateListModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const quint64 id = child.internalId();
    switch (levelOf(child)) {
    case YearLevel: return {};
    case MonthLevel: {
        const int year = int((id >> yearShift) & lowMask);
        return createIndex(year, 0, idOf(YearLevel, 0, quint64(year)));
    }
    case DayLevel: {
        const auto [year, month] = groupsOf(int(id & lowMask));
        return createIndex(month, 0, idOf(MonthLevel, quint64(year), quint64(month)));
    }
    }
    return {};
}

int DateListModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(years_.size());
    const quint64 id = parent.internalId();
    switch (levelOf(parent)) {
    case YearLevel: return int(months_[int(id & lowMask)].size());
    case MonthLevel: return months_[int((id >> yearShift) & lowMask)][int(id & lowMask)].count;
    case DayLevel: return 0;
    }
    return 0;
}

int DateListModel::columnCount(const QModelIndex& /*parent*/) const
{
    return 1;
}

QVariant DateListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (levelOf(index) == DayLevel)
        return dayData(int(index.internalId() & lowMask), role);
    return groupData(index, role);
}

// "27日(土) 花見" on the screen; the whole date and the weekday in words for a screen reader.
QVariant DateListModel::dayData(int entry, int role) const
{
    const QList<DiaryEntry>& entries = index_->readEntries();
    if (entry >= entries.size())
        return {};
    const DiaryEntry& day = entries[entry];
    const QString weekday = datelist::japaneseWeekday(day.date);
    switch (role) {
    case Qt::DisplayRole:
        return QStringLiteral("%1日(%2) %3").arg(day.date.day()).arg(weekday, day.title).trimmed();
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return QStringLiteral("%1年%2月%3日 %4曜日 %5")
            .arg(day.date.year())
            .arg(day.date.month())
            .arg(day.date.day())
            .arg(weekday, day.title.isEmpty() ? QStringLiteral("タイトルなし") : day.title);
    case EntryRole: return entry;
    default: return {};
    }
}

QVariant DateListModel::groupData(const QModelIndex& index, int role) const
{
    const quint64 id = index.internalId();
    const bool isYear = levelOf(index) == YearLevel;
    const int yearRun = int(isYear ? id & lowMask : (id >> yearShift) & lowMask);
    const int year = years_[yearRun].value;
    const Group& group = isYear ? years_[yearRun] : months_[yearRun][int(id & lowMask)];
    switch (role) {
    case Qt::DisplayRole:
        return isYear ? QStringLiteral("%1年 (%2)").arg(year).arg(group.count)
                      : QStringLiteral("%1月 (%2)").arg(group.value).arg(group.count);
    case Qt::AccessibleTextRole:
        return isYear ? QStringLiteral("%1年 %2件").arg(year).arg(group.count)
                      : QStringLiteral("%1年%2月 %3件").arg(year).arg(group.value).arg(group.count);
    case EntryRole: return -1;
    case GroupRole: return isYear ? year : year * 100 + group.value;
    default: return {};
    }
}
