#include "app/DateListCommands.h"

#include "core/AppInfo.h"
#include "core/MainState.h"
#include "datelist/DateListPanel.h"
#include "datelist/EntryDates.h"
#include "datelist/EntryPlace.h"
#include "datelist/HeadingSetting.h"
#include "datelist/PastYearsForm.h"
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
#include <QSplitter>
#include <QTextBlock>
#include <QTextDocument>
#include <QWindow>

#include <algorithm>

namespace {

// Wide enough for the calendar and a day row with a short title.
constexpr int defaultPanelWidth = 240;
// How far the divider moves at each keystroke.
constexpr int panelStep = 40;
// The narrowest the editor is left beside the panel.
constexpr int narrowestEditor = 200;

} // namespace

DateListCommands::DateListCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary,
                                   Platform platform, QWidget* window)
    : QObject(window), state_(state), today_(today), diary_(diary), platform_(platform),
      window_(window), panelWidth_(defaultPanelWidth)
{
    diary_->installEventFilter(this);
    diary_->AllMemo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(diary_->AllMemo, &QWidget::customContextMenuRequested, this,
            &DateListCommands::showContextMenu);
    // The list follows the cursor once per turn of the event loop, however many times it moved.
    following_.setSingleShot(true);
    following_.setInterval(0);
    connect(&following_, &QTimer::timeout, this, &DateListCommands::followCursor);
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
        // The divider between the editor and the panel, by keyboard: the arrow says which way
        // it moves.
        {K::Command,
         "ViewDateListWider",
         QStringLiteral("日付一覧を広げる(&E)"),
         {QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Left)},
         [this] { resizePanel(panelStep); },
         offered},
        {K::Command,
         "ViewDateListNarrower",
         QStringLiteral("日付一覧を狭める(&R)"),
         {QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Right)},
         [this] { resizePanel(-panelStep); },
         offered},
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
        {K::Command,
         "ViewPastYears",
         QStringLiteral("過去の今日(&Y)..."),
         {},
         [this] { ViewPastYearsClick(); },
         offered},
        {K::Command,
         "ViewEntryHeading",
         QStringLiteral("日付の見出し(&H)..."),
         {},
         [this] { ViewEntryHeadingClick(); },
         offered},
    };
}

void DateListCommands::useItems(const CommandTable& table)
{
    ViewDateList = table.action("ViewDateList");
    moves_ = {table.action("ViewNextEntry"), table.action("ViewPrevEntry"),
              table.action("ViewGoToDate"), table.action("ViewEntryPlace"),
              table.action("ViewPastYears")};
    QAction* place = table.action("ViewEntryPlace");
    diary_->EntryPlaceBtn->setEnabled(place->isEnabled());
    connect(place, &QAction::enabledChanged, diary_->EntryPlaceBtn, &QWidget::setEnabled);
}

QStringList DateListCommands::choiceNames()
{
    return {dateListName, dateListWidthName};
}

void DateListCommands::readChoice(const QHash<QString, QString>& others)
{
    panelWidth_ = dateListWidth(others, panelWidth_);
    const bool on = dateListOn(others);
    ViewDateList->setChecked(on);
    showPanel(on);
}

QList<std::pair<QString, QString>> DateListCommands::choices() const
{
    return {{dateListName, dateListText(ViewDateList->isChecked())},
            {dateListWidthName, QString::number(panelWidth_)}};
}

datelist::EntryMarks DateListCommands::marksNow() const
{
    return {state_.Html.HtmlDate1, state_.Html.HtmlTitle1, state_.Html.HtmlTitle2,
            datelist::headingOfSample(headingSample_)};
}

void DateListCommands::followDiaryFile()
{
    headingSample_ = loadHeadingSample(platform_.keyStore, state_.CurrentFileName);
    if (index_)
        index_->setMarks(marksNow());
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

// The panel at the right of the editor, as wide as the writer left it; it follows the cursor
// and, once a reading has placed the entries anew, where the cursor is then.
void DateListCommands::buildPanel()
{
    index()->setMarks(marksNow());
    panel_ = new DateListPanel(index_, diary_);
    connect(panel_, &DateListPanel::entryChosen, this, &DateListCommands::goToEntry);
    connect(panel_, &DateListPanel::pastYearsAsked, this, &DateListCommands::showPastYears);
    splitter_ = diary_->addBesideEditor(panel_);
    const int editorWidth = std::max(diary_->AllMemo->width() - panelWidth_, narrowestEditor);
    splitter_->setSizes({editorWidth, panelWidth_});
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { panelWidth_ = panel_->width(); });
    QWidget* handle = splitter_->handle(1);
    handle->setAccessibleName(QStringLiteral("日付一覧の境目"));
    handle->setAccessibleDescription(
        QStringLiteral("ドラッグするか、Alt+Shift+← で日付一覧を広げ、Alt+Shift+→ で狭めます。"));
    connect(diary_->AllMemo, &QPlainTextEdit::cursorPositionChanged, &following_,
            qOverload<>(&QTimer::start));
    connect(index_, &DateIndex::entriesPlaced, &following_, qOverload<>(&QTimer::start));
    following_.start();
}

void DateListCommands::followCursor()
{
    if (panel_ && panel_->isVisible())
        panel_->followPosition(diary_->AllMemo->textCursor().position());
}

// Moves the divider by `step` towards the editor (a wider panel) or away from it, within the
// panel's own least width and the editor's; the panel is shown first when it is not.
void DateListCommands::resizePanel(int step)
{
    if (!panel_ || !panel_->isVisible()) {
        ViewDateList->setChecked(true);
        showPanel(true);
        return;
    }
    const QList<int> sizes = splitter_->sizes();
    const int total = sizes[0] + sizes[1];
    const int least = panel_->minimumSizeHint().width();
    const int width = std::clamp(sizes[1] + step, least, std::max(least, total - narrowestEditor));
    if (width == sizes[1]) {
        QApplication::beep();
        return;
    }
    splitter_->setSizes({total - width, width});
    panelWidth_ = splitter_->sizes()[1];
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

// The first tab's date; told and nothing when it is no date.
std::optional<QDate> DateListCommands::todayDate()
{
    const TodayEntry entry = today_->entry();
    const QDate date(entry::readDateNumber(entry.year), entry::readDateNumber(entry.month),
                     entry::readDateNumber(entry.day));
    if (date.isValid())
        return date;
    tell(QStringLiteral("「今日の日記編集」の日付が正しくありません。"));
    return std::nullopt;
}

// Where an entry of the first tab's date belongs, in the order the diary runs: between
// entries, never inside one nor in the page's footer.
void DateListCommands::ViewEntryPlaceClick()
{
    const std::optional<QDate> date = todayDate();
    if (!date)
        return;
    QTextDocument* document = diary_->AllMemo->document();
    QList<datelist::EntryAt> entries;
    for (const DiaryEntry& found : currentEntries())
        entries.append({document->findBlock(found.position).blockNumber(), found.date});
    const int line =
        datelist::placeLineForDate(entries, *date, document->blockCount(), [document](int number) {
            return document->findBlockByNumber(number).text();
        });
    const QTextBlock block = document->findBlockByNumber(line);
    QPlainTextEdit* editor = diary_->AllMemo;
    QTextCursor cursor(document);
    cursor.setPosition(block.isValid() ? block.position() : document->characterCount() - 1);
    editor->setTextCursor(cursor);
    editor->centerCursor();
    editor->setFocus();
}

void DateListCommands::showContextMenu(const QPoint& at)
{
    QPlainTextEdit* editor = diary_->AllMemo;
    QMenu* menu = editor->createStandardContextMenu(at);
    menu->setObjectName(QStringLiteral("AllMemoMenu"));
    menu->addSeparator();
    menu->addActions(moves_);
    QAction* heading = menu->addAction(QStringLiteral("この行のような行を日記の始まりとする(&Z)"));
    heading->setObjectName(QStringLiteral("TakeLineAsHeading"));
    heading->setEnabled(moves_.first()->isEnabled());
    connect(heading, &QAction::triggered, this, &DateListCommands::takeLineAsHeading);
    menu->exec(editor->viewport()->mapToGlobal(at));
    delete menu;
}

void DateListCommands::ViewPastYearsClick()
{
    const std::optional<QDate> date = todayDate();
    if (!date)
        return;
    showPastYears(*date);
}

// Newest year first; Enter on one goes to it.
void DateListCommands::showPastYears(QDate date)
{
    const QList<DiaryEntry>& entries = currentEntries();
    QList<int> found;
    for (int i = 0; i < int(entries.size()); ++i) {
        const QDate d = entries[i].date;
        if (d.month() == date.month() && d.day() == date.day() && d.year() < date.year())
            found.append(i);
    }
    const QString day = QStringLiteral("%1月%2日").arg(date.month()).arg(date.day());
    if (found.isEmpty()) {
        tell(QStringLiteral("%1より前の年の%2の日記はありません。")
                 .arg(QString::number(date.year()) + u'年', day));
        return;
    }
    std::stable_sort(found.begin(), found.end(),
                     [&](int a, int b) { return entries[a].date > entries[b].date; });
    QList<PastYearsForm::Row> rows;
    for (int i : found)
        rows.append(
            {i, datelist::shownDate(entries[i].date) + QStringLiteral("　") + firstLineOf(i)});
    PastYearsForm form(day, rows, window_);
    const bool accepted = form.exec() == QDialog::Accepted;
    diary_->AllMemo->setFocus();
    if (accepted)
        goToEntry(form.chosenEntry());
}

QString DateListCommands::firstLineOf(int entry)
{
    constexpr int shownLength = 40;
    const DiaryEntry& shown = index_->readEntries()[entry];
    QString line = shown.title;
    QTextBlock block = diary_->AllMemo->document()->findBlock(shown.position);
    for (int i = 0; i < 8 && line.isEmpty() && block.next().isValid(); ++i) {
        block = block.next();
        line = datelist::plainTextOfLine(block.text(), document::HtmlState::Text);
    }
    return line.size() > shownLength ? line.left(shownLength) + u'…' : line;
}

// The sample line is kept for the diary file; an empty one goes back to the guess.
void DateListCommands::ViewEntryHeadingClick()
{
    QInputDialog dialog(window_);
    dialog.setObjectName(QStringLiteral("EntryHeadingForm"));
    dialog.setWindowTitle(QStringLiteral("日付の見出し"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(
        QStringLiteral("この行のような行を日記の始まりとする（空にすると自動で見分けます）："));
    dialog.setTextValue(headingSample_.isEmpty() ? diary_->AllMemo->textCursor().block().text()
                                                 : headingSample_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    diary_->AllMemo->setFocus();
    if (accepted)
        setHeadingSample(dialog.textValue().trimmed());
}

void DateListCommands::takeLineAsHeading()
{
    setHeadingSample(diary_->AllMemo->textCursor().block().text().trimmed());
}

void DateListCommands::setHeadingSample(const QString& sample)
{
    if (!sample.isEmpty() && !datelist::headingOfSample(sample)) {
        tell(QStringLiteral("この行には日付がありません。日記の日付の行を選んでください。"));
        return;
    }
    if (state_.CurrentFileName.isEmpty()) {
        tell(QStringLiteral("日記ファイルを保存してから設定してください。"));
        return;
    }
    if (!saveHeadingSample(platform_.keyStore, state_.CurrentFileName, sample))
        tell(QStringLiteral("日付の見出しを記録できませんでした。"));
    headingSample_ = sample;
    index()->setMarks(marksNow());
}

void DateListCommands::tell(const QString& text)
{
    platform_.messages.show(
        {text, appTitle(), MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok});
}
