#include "app/DateListCommands.h"

#include "core/AppInfo.h"
#include "core/MainState.h"
#include "datelist/DateListPanel.h"
#include "datelist/EntryDates.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "entry/Weekday.h"
#include "settings/EditorChoices.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QInputDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QWindow>

#include <algorithm>

DateListCommands::DateListCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary,
                                   Platform platform, QWidget* window)
    : QObject(window), state_(state), today_(today), diary_(diary), platform_(platform),
      window_(window)
{
    diary_->installEventFilter(this);
    diary_->AllMemo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(diary_->AllMemo, &QWidget::customContextMenuRequested, this,
            &DateListCommands::showContextMenu);
}

QList<CommandRow> DateListCommands::menuRows(std::function<bool()> offered)
{
    using K = CommandRow::Kind;
    return {
        {K::Separator, "NDateList"},
        {K::Command,
         "ViewDateList",
         QStringLiteral("日付一覧(&L)"),
         {},
         [this] { ViewDateListClick(); },
         {},
         nullptr,
         true},
        {K::Command,
         "ViewNextEntry",
         QStringLiteral("次の日記へ(&N)"),
         {QKeySequence(Qt::ALT | Qt::Key_Down)},
         [this] { ViewNextEntryClick(); },
         offered},
        {K::Command,
         "ViewPrevEntry",
         QStringLiteral("前の日記へ(&U)"),
         {QKeySequence(Qt::ALT | Qt::Key_Up)},
         [this] { ViewPrevEntryClick(); },
         offered},
        {K::Command,
         "ViewGoToDate",
         QStringLiteral("日付を指定して移動(&D)..."),
         {QKeySequence(Qt::CTRL | Qt::Key_J)},
         [this] { ViewGoToDateClick(); },
         offered},
        {K::Command,
         "ViewEntryPlace",
         QStringLiteral("日付順の位置へ(&T)"),
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J)},
         [this] { ViewEntryPlaceClick(); },
         offered},
    };
}

void DateListCommands::useItems(const CommandTable& table)
{
    ViewDateList = table.action("ViewDateList");
    moves_ = {table.action("ViewNextEntry"), table.action("ViewPrevEntry"),
              table.action("ViewGoToDate"), table.action("ViewEntryPlace")};
    QAction* place = table.action("ViewEntryPlace");
    diary_->EntryPlaceBtn->setEnabled(place->isEnabled());
    connect(place, &QAction::enabledChanged, diary_->EntryPlaceBtn, &QWidget::setEnabled);
}

QString DateListCommands::choiceName()
{
    return dateListName;
}

void DateListCommands::readChoice(const QHash<QString, QString>& others)
{
    const bool on = dateListOn(others);
    ViewDateList->setChecked(on);
    showPanel(on);
}

std::pair<QString, QString> DateListCommands::choice() const
{
    return {dateListName, dateListText(ViewDateList->isChecked())};
}

datelist::EntryMarks DateListCommands::marksNow() const
{
    return {state_.Html.HtmlDate1, state_.Html.HtmlTitle1, state_.Html.HtmlTitle2};
}

void DateListCommands::followHtmlSettings()
{
    if (index_)
        index_->setMarks(marksNow());
}

DateIndex* DateListCommands::index()
{
    if (!index_)
        index_ = new DateIndex(diary_->AllMemo->document(), marksNow(), this);
    return index_;
}

const QList<DiaryEntry>& DateListCommands::currentEntries()
{
    index()->setMarks(marksNow());
    return index_->entries();
}

QList<QDate> DateListCommands::dates()
{
    QList<QDate> dates;
    for (const DiaryEntry& entry : currentEntries())
        dates.append(entry.date);
    return dates;
}

// The panel is made when the diary tab is first shown with the switch on, not at start.
bool DateListCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == diary_ && event->type() == QEvent::Show && panelWanted_ && !panel_)
        buildPanel();
    return QObject::eventFilter(watched, event);
}

void DateListCommands::showPanel(bool on)
{
    panelWanted_ = on;
    if (on && !panel_ && diary_->isVisible())
        buildPanel();
    if (panel_)
        panel_->setVisible(on);
}

void DateListCommands::buildPanel()
{
    index()->setMarks(marksNow());
    panel_ = new DateListPanel(index_, diary_);
    connect(panel_, &DateListPanel::entryChosen, this, &DateListCommands::goToEntry);
    diary_->addBesideEditor(panel_);
}

void DateListCommands::ViewDateListClick()
{
    showPanel(ViewDateList->isChecked());
}

// The entry's line at the top of the editor, the cursor at its start.
void DateListCommands::goToEntry(int entry)
{
    const QList<DiaryEntry>& entries = currentEntries();
    if (entry < 0 || entry >= entries.size())
        return;
    QPlainTextEdit* editor = diary_->AllMemo;
    QTextCursor cursor(editor->document());
    cursor.setPosition(entries[entry].position);
    editor->setTextCursor(cursor);
    editor->verticalScrollBar()->setValue(cursor.block().firstLineNumber());
    editor->setFocus();
}

void DateListCommands::ViewNextEntryClick()
{
    const QList<DiaryEntry>& entries = currentEntries();
    const int at = diary_->AllMemo->textCursor().position();
    const auto next = std::upper_bound(entries.begin(), entries.end(), at,
                                       [](int p, const DiaryEntry& e) { return p < e.position; });
    if (next == entries.end())
        QApplication::beep();
    else
        goToEntry(int(next - entries.begin()));
}

void DateListCommands::ViewPrevEntryClick()
{
    const QList<DiaryEntry>& entries = currentEntries();
    const int at = diary_->AllMemo->textCursor().position();
    const auto next = std::lower_bound(entries.begin(), entries.end(), at,
                                       [](const DiaryEntry& e, int p) { return e.position < p; });
    if (next == entries.begin())
        QApplication::beep();
    else
        goToEntry(int(next - entries.begin()) - 1);
}

// A date that has no entry is answered with the nearest one, which the writer may go to.
void DateListCommands::ViewGoToDateClick()
{
    QInputDialog dialog(window_);
    dialog.setObjectName(QStringLiteral("GoToDateForm"));
    dialog.setWindowTitle(QStringLiteral("日付を指定して移動"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(QStringLiteral("日付（2026年12月7日、2026/12/7、2026-12-07）："));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    diary_->AllMemo->setFocus();
    if (!accepted)
        return;
    const std::optional<QDate> date = datelist::readTypedDate(dialog.textValue());
    if (!date) {
        tell(QStringLiteral("日付は 2026年12月7日、2026/12/7 または 2026-12-07 の形で入力して"
                            "ください。"));
        return;
    }
    const QList<QDate> all = dates();
    const qsizetype found = all.indexOf(*date);
    if (found >= 0) {
        goToEntry(int(found));
        return;
    }
    const qsizetype nearest = datelist::nearestDate(all, *date);
    if (nearest < 0) {
        tell(QStringLiteral("この日記には日付のある日記がありません。"));
        return;
    }
    const MsgAnswer answer = platform_.messages.show(
        {QStringLiteral("%1の日記はありません。\nいちばん近い %2 の日記へ移動しますか？")
             .arg(datelist::shownDate(*date), datelist::shownDate(all[nearest])),
         appTitle(), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
    if (answer == MsgAnswer::Yes)
        goToEntry(int(nearest));
}

// Before the first entry that should come after one of the first tab's date, in the order the
// diary runs.
void DateListCommands::ViewEntryPlaceClick()
{
    const TodayEntry entry = today_->entry();
    const QDate date(entry::readDateNumber(entry.year), entry::readDateNumber(entry.month),
                     entry::readDateNumber(entry.day));
    if (!date.isValid()) {
        tell(QStringLiteral("「今日の日記編集」の日付が正しくありません。"));
        return;
    }
    const QList<QDate> all = dates();
    const qsizetype place = datelist::placeForDate(all, date, datelist::runsNewestFirst(all));
    const int position =
        place < all.size() ? currentEntries()[place].position : placeAfterLastEntry();
    QPlainTextEdit* editor = diary_->AllMemo;
    QTextCursor cursor(editor->document());
    cursor.setPosition(position);
    editor->setTextCursor(cursor);
    editor->centerCursor();
    editor->setFocus();
}

// After the line that closes the last entry's body (and the rule after it, if there is one);
// without entries, or without that line, before the line that closes the page's body; else
// the end of the diary.
int DateListCommands::placeAfterLastEntry()
{
    const QList<DiaryEntry>& entries = currentEntries();
    QTextDocument* document = diary_->AllMemo->document();
    const QTextBlock start =
        entries.isEmpty() ? document->begin() : document->findBlock(entries.last().position);
    const QString bodyEnd = state_.Html.HtmlMain2.trimmed();
    for (QTextBlock line = start; line.isValid() && !entries.isEmpty() && !bodyEnd.isEmpty();
         line = line.next()) {
        if (!line.text().contains(bodyEnd, Qt::CaseInsensitive))
            continue;
        QTextBlock after = line.next();
        if (after.isValid() && after.text().trimmed().compare(u"<HR>", Qt::CaseInsensitive) == 0)
            after = after.next();
        return after.isValid() ? after.position() : document->characterCount() - 1;
    }
    for (QTextBlock line = start; line.isValid(); line = line.next()) {
        if (line.text().trimmed().startsWith(u"</body", Qt::CaseInsensitive))
            return line.position();
    }
    return document->characterCount() - 1;
}

void DateListCommands::showContextMenu(const QPoint& at)
{
    QPlainTextEdit* editor = diary_->AllMemo;
    QMenu* menu = editor->createStandardContextMenu(at);
    menu->setObjectName(QStringLiteral("AllMemoMenu"));
    menu->addSeparator();
    menu->addActions(moves_);
    menu->exec(editor->viewport()->mapToGlobal(at));
    delete menu;
}

void DateListCommands::tell(const QString& text)
{
    platform_.messages.show(
        {text, appTitle(), MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok});
}
