#include "entry/TodayEntryTab.h"

#include "core/MainState.h"
#include "entry/Weekday.h"
#include "find/FindBar.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/EditorText.h"
#include "platform/ItemComboBox.h"
#include "platform/UpDown.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const QStringList weekdayItems = {
    QStringLiteral("(日)"), QStringLiteral("(月)"), QStringLiteral("(火)"), QStringLiteral("(水)"),
    QStringLiteral("(木)"), QStringLiteral("(金)"), QStringLiteral("(土)")};

const QStringList weatherItems = {QStringLiteral("晴れ"),         QStringLiteral("くもり"),
                                  QStringLiteral("雨"),           QStringLiteral("雪"),
                                  QStringLiteral("晴れ／くもり"), QStringLiteral("晴れ／雨"),
                                  QStringLiteral("くもり／雨"),   QStringLiteral("雨／雪")};

QLineEdit* dateField(const char* name, const QString& initial, int maxWidth, QWidget* parent)
{
    auto* edit = new QLineEdit(initial, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaximumWidth(maxWidth);
    return edit;
}

} // namespace

TodayEntryTab::TodayEntryTab(MainState& state, Clock& clock, QWidget* parent)
    : QWidget(parent), state_(state), clock_(clock)
{
    setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addLayout(createDateRow());
    layout->addLayout(createToolRow());
    createEditors();
    layout->addWidget(PanelDiaryTitle);
    layout->addWidget(TodayMemo, 1);

    connect(YearEdit, &QLineEdit::textChanged, this, &TodayEntryTab::UpdateWeekday);
    connect(MonthEdit, &QLineEdit::textChanged, this, &TodayEntryTab::UpdateWeekday);
    connect(DateEdit, &QLineEdit::textChanged, this, &TodayEntryTab::UpdateWeekday);
    signalChanges();
}

void TodayEntryTab::signalChanges()
{
    for (QLineEdit* field : {YearEdit, MonthEdit, DateEdit})
        connect(field, &QLineEdit::textChanged, this, &TodayEntryTab::entryChanged);
    for (ItemComboBox* box : {DayBox, WeatherBox}) {
        connect(box, &QComboBox::editTextChanged, this, &TodayEntryTab::entryChanged);
        connect(box, &QComboBox::currentIndexChanged, this, &TodayEntryTab::entryChanged);
    }
    QTextDocument* body = bodyDocument();
    connect(body, &QTextDocument::contentsChanged, this, &TodayEntryTab::entryChanged);
    connect(body, &QTextDocument::modificationChanged, this, &TodayEntryTab::entryChanged);
}

QLayout* TodayEntryTab::createDateRow()
{
    YearEdit = dateField("YearEdit", QStringLiteral("0"), 52, this);
    YearEdit->setToolTip(
        QStringLiteral("曜日の自動算出が行われるのは、1990～9999年の間のみです。"));
    MonthEdit = dateField("MonthEdit", QStringLiteral("1"), 30, this);
    DateEdit = dateField("DateEdit", QStringLiteral("1"), 30, this);
    QLabel* units[] = {makeFieldLabel(QStringLiteral("年"), YearEdit, this),
                       makeFieldLabel(QStringLiteral("月"), MonthEdit, this),
                       makeFieldLabel(QStringLiteral("日"), DateEdit, this)};
    YearUpDown = new UpDown(YearEdit, 0, 10000, false, this);
    YearUpDown->setObjectName(QStringLiteral("YearUpDown"));
    MonthUpDown = new UpDown(MonthEdit, 1, 12, true, this);
    MonthUpDown->setObjectName(QStringLiteral("MonthUpDown"));
    DateUpDown = new UpDown(DateEdit, 1, 31, true, this);
    DateUpDown->setObjectName(QStringLiteral("DateUpDown"));

    DayBox = new ItemComboBox(weekdayItems, this);
    DayBox->setObjectName(QStringLiteral("DayBox"));
    DayBox->setToolTip(QStringLiteral(
        "日付から自動的に入力されます。（存在しない日付が入力された場合は空白になります。）"));
    DayBox->setMinimumContentsLength(4);
    WeatherBox = new ItemComboBox(weatherItems, this);
    WeatherBox->setObjectName(QStringLiteral("WeatherBox"));
    WeatherBox->setToolTip(
        QStringLiteral("リスト外の文字も入力できます。その際は、挿入時に色の選択ができます。"));
    WeatherBox->setMinimumContentsLength(7);
    DeleteBtn = makeButton("DeleteBtn", QStringLiteral("削除(&D)"),
                           QStringLiteral("入力した日付や日記本文を削除します。"), this);

    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    const std::pair<QLineEdit*, UpDown*> fields[] = {
        {YearEdit, YearUpDown}, {MonthEdit, MonthUpDown}, {DateEdit, DateUpDown}};
    for (int i = 0; i < 3; ++i) {
        row->addWidget(fields[i].first);
        row->addWidget(fields[i].second);
        row->addWidget(units[i]);
        row->addSpacing(4);
    }
    row->addWidget(makeFieldLabel(QStringLiteral("曜日："), DayBox, this));
    row->addWidget(DayBox);
    row->addSpacing(4);
    row->addWidget(makeFieldLabel(QStringLiteral("天気："), WeatherBox, this));
    row->addWidget(WeatherBox);
    row->addStretch(1);
    row->addWidget(DeleteBtn);
    return row;
}

QLayout* TodayEntryTab::createToolRow()
{
    AddTitleBtn = makeButton("AddTitleBtn", QStringLiteral("今日の日記にタイトルを付ける(&T)"),
                             QStringLiteral("タイトルを付けたい場合にクリックして下さい。"), this);
    BRBtn =
        makeButton("BRBtn", QStringLiteral("改行挿入(&B)"),
                   QStringLiteral("ブラウザ上で改行させたい場所にカーソルを移動して、このボタンを"
                                  "クリックして下さい。"),
                   this);
    UseHintBtn = makeButton("UseHintBtn", QStringLiteral("操作アドバイス表示(&H)"),
                            QStringLiteral("操作ガイドです。１度は読んで下さい。"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(AddTitleBtn);
    row->addWidget(BRBtn);
    row->addStretch(1);
    row->addWidget(UseHintBtn);
    return row;
}

void TodayEntryTab::createEditors()
{
    PanelDiaryTitle = new QLabel(QStringLiteral("タイトル："), this);
    PanelDiaryTitle->setObjectName(QStringLiteral("PanelDiaryTitle"));
    PanelDiaryTitle->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelDiaryTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PanelDiaryTitle->setTextFormat(Qt::PlainText);
    PanelDiaryTitle->hide();

    TodayMemo = makeMemo("TodayMemo", QStringLiteral("今日の日記本文"), this);
    WorkMemo = makeMemo("WorkMemo", QString(), this);
    WorkMemo->hide();
}

FindBar* TodayEntryTab::findBar()
{
    if (!TodayFindBar) {
        TodayFindBar = new FindBar("TodayFindBar", TodayMemo, this);
        layout()->addWidget(TodayFindBar);
    }
    return TodayFindBar;
}

void TodayEntryTab::SetTodayDate()
{
    const QDate today = clock_.today();
    YearEdit->setText(today.toString(QStringLiteral("yyyy")));
    MonthEdit->setText(QString::number(today.month()));
    DateEdit->setText(QString::number(today.day()));
    // Setting a field to the text it already holds signals no change, so the weekday item is
    // chosen here as well: a clear always leaves today's item, whatever the box held.
    UpdateWeekday();
    DayBox->setTextKeepingItem(u'(' + clock_.shortDayName(today.dayOfWeek()) + u')');
}

void TodayEntryTab::ClearTodayEntry()
{
    setEditorText(TodayMemo, QString());
    setTitle(QString());
    WeatherBox->selectItem(-1);
    SetTodayDate();
    TodayMemo->document()->setModified(false);
}

void TodayEntryTab::UpdateWeekday()
{
    DayBox->selectItem(entry::weekdayItem(YearEdit->text(), MonthEdit->text(), DateEdit->text()));
}

TodayEntry TodayEntryTab::entry() const
{
    TodayEntry entry = entryWithoutBody();
    entry.body = editorText(TodayMemo);
    return entry;
}

TodayEntry TodayEntryTab::entryWithoutBody() const
{
    TodayEntry entry;
    entry.year = YearEdit->text();
    entry.month = MonthEdit->text();
    entry.day = DateEdit->text();
    entry.weekdayText = DayBox->currentText();
    entry.weekdayItem = DayBox->currentIndex();
    entry.weatherText = WeatherBox->currentText();
    entry.weatherItem = WeatherBox->currentIndex();
    entry.title = state_.TodayTitle;
    entry.titleCaption = PanelDiaryTitle->text();
    entry.titleShown = !PanelDiaryTitle->isHidden();
    entry.bodyModified = bodyDocument()->isModified();
    return entry;
}

// A box's item is chosen first, since choosing it shows the item's own text; the text as the
// entry has it goes over that.
void TodayEntryTab::restore(const TodayEntry& entry)
{
    YearEdit->setText(entry.year);
    MonthEdit->setText(entry.month);
    DateEdit->setText(entry.day);
    DayBox->selectItem(entry.weekdayItem);
    DayBox->setTextKeepingItem(entry.weekdayText);
    WeatherBox->selectItem(entry.weatherItem);
    WeatherBox->setTextKeepingItem(entry.weatherText);
    state_.TodayTitle = entry.title;
    PanelDiaryTitle->setText(entry.titleCaption);
    PanelDiaryTitle->setVisible(entry.titleShown);
    setEditorText(TodayMemo, entry.body);
    bodyDocument()->setModified(entry.bodyModified);
}

void TodayEntryTab::setTitle(const QString& title)
{
    state_.TodayTitle = title;
    if (title.isEmpty()) {
        PanelDiaryTitle->hide();
    } else {
        PanelDiaryTitle->setText(QStringLiteral("タイトル： ") + title);
        PanelDiaryTitle->show();
    }
    emit entryChanged();
}

QTextDocument* TodayEntryTab::bodyDocument() const
{
    return TodayMemo->document();
}

void TodayEntryTab::setWorkText(const QString& crlfText)
{
    setEditorText(WorkMemo, crlfText);
}

QString TodayEntryTab::workText() const
{
    return editorText(WorkMemo);
}

QAbstractButton* TodayEntryTab::deleteButton() const
{
    return DeleteBtn;
}

QAbstractButton* TodayEntryTab::addTitleButton() const
{
    return AddTitleBtn;
}

QAbstractButton* TodayEntryTab::breakButton() const
{
    return BRBtn;
}

QAbstractButton* TodayEntryTab::hintButton() const
{
    return UseHintBtn;
}
