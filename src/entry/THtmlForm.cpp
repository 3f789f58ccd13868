#include "entry/THtmlForm.h"

#include "core/AppInfo.h"
#include "entry/HtmlSettings.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "settings/SettingsTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

namespace {

// A single-line field for one HTML fragment. It holds text of any length (a line edit stops at
// 32767 characters unless told otherwise) and takes what is typed as it is.
QLineEdit* fragmentEdit(const char* name, int minimumChars, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * minimumChars);
    return edit;
}

// Puts a field with its label into the grid; the label's access key focuses the field.
void addLabelled(QGridLayout* grid, int row, int column, const QString& caption, QLineEdit* edit)
{
    grid->addWidget(makeFieldLabel(caption, edit, edit->parentWidget()), row, column,
                    Qt::AlignRight);
    grid->addWidget(edit, row, column + 1);
}

QWidget* tabPage(const char* name)
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    return page;
}

// The "HTMLタグ設定" group of a tab: the fragment written before the text and the one after it.
QGroupBox* startEndGroup(const char* name, QLineEdit* start, QLineEdit* end, QWidget* page)
{
    QGroupBox* box = makeCaptioned<QGroupBox>(name, QStringLiteral("HTMLタグ設定"), page);
    auto* tags = new QGridLayout(box);
    addLabelled(tags, 0, 0, QStringLiteral("開始(&S)："), start);
    addLabelled(tags, 1, 0, QStringLiteral("終了(&E)："), end);
    return box;
}

} // namespace

THtmlForm::THtmlForm(HtmlSettings& html, bool& newProcessFlag, Messages& messages, QWidget* parent)
    : FormDialog(parent), html_(html), newProcessFlag_(newProcessFlag), messages_(messages)
{
    setObjectName(QStringLiteral("THtmlForm"));
    setWindowTitle(QStringLiteral("日記HTML設定"));
    setModal(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(createDateTab(), QStringLiteral("日付表示設定"));
    PageControl1->addTab(createWeatherTab(), QStringLiteral("天気表示設定"));
    PageControl1->addTab(createTitleTab(), QStringLiteral("タイトル表示設定"));
    PageControl1->addTab(createBodyTab(), QStringLiteral("本文表示設定"));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(PageControl1);
    layout->addWidget(createButtons());

    connect(WeekViewCheck, &QCheckBox::toggled, this, &THtmlForm::WeekViewCheckClick);
    const std::pair<QRadioButton*, void (THtmlForm::*)()> radios[] = {
        {DateTypeRadio1, &THtmlForm::DateTypeRadio1Click},
        {DateTypeRadio2, &THtmlForm::DateTypeRadio2Click},
        {WeekLangRadio1, &THtmlForm::WeekLangRadio1Click},
        {WeekLangRadio2, &THtmlForm::WeekLangRadio2Click}};
    for (const auto& [radio, handler] : radios) {
        connect(radio, &QRadioButton::toggled, this, [this, handler = handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    }
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, &THtmlForm::Button1Click);
}

QWidget* THtmlForm::createDateTab()
{
    QWidget* page = tabPage("TabSheet1");

    DateStartEdit = fragmentEdit("DateStartEdit", 40, page);
    DateEndEdit = fragmentEdit("DateEndEdit", 40, page);
    GroupBox1 = startEndGroup("GroupBox1", DateStartEdit, DateEndEdit, page);

    GroupBox2 = makeCaptioned<QGroupBox>("GroupBox2", QStringLiteral("表記形式設定"), page);
    DateTypeRadio1 = makeCaptioned<QRadioButton>("DateTypeRadio1",
                                                 QStringLiteral("1999年3月26日 (&K)"), GroupBox2);
    DateTypeRadio2 =
        makeCaptioned<QRadioButton>("DateTypeRadio2", QStringLiteral("1999/3/26 (&F)"), GroupBox2);
    dateTypeGroup_ = new QButtonGroup(this);
    dateTypeGroup_->addButton(DateTypeRadio1);
    dateTypeGroup_->addButton(DateTypeRadio2);
    auto* dateTypes = new QVBoxLayout(GroupBox2);
    dateTypes->addWidget(DateTypeRadio1);
    dateTypes->addWidget(DateTypeRadio2);
    dateTypes->addStretch(1);

    GroupBox3 = makeCaptioned<QGroupBox>("GroupBox3", QStringLiteral("曜日表記設定"), page);
    WeekViewCheck =
        makeCaptioned<QCheckBox>("WeekViewCheck", QStringLiteral("曜日を表示する(&W)"), GroupBox3);
    WeekLangRadio1 =
        makeCaptioned<QRadioButton>("WeekLangRadio1", QStringLiteral("日本語(&J)"), GroupBox3);
    WeekLangRadio2 =
        makeCaptioned<QRadioButton>("WeekLangRadio2", QStringLiteral("英語(&A)"), GroupBox3);
    // A group of their own: the weekday language is not the date style.
    weekLangGroup_ = new QButtonGroup(this);
    weekLangGroup_->addButton(WeekLangRadio1);
    weekLangGroup_->addButton(WeekLangRadio2);
    auto* languages = new QHBoxLayout;
    languages->addSpacing(20); // indented under the check box they depend on
    languages->addWidget(WeekLangRadio1);
    languages->addWidget(WeekLangRadio2);
    languages->addStretch(1);
    auto* weekday = new QVBoxLayout(GroupBox3);
    weekday->addWidget(WeekViewCheck);
    weekday->addLayout(languages);
    weekday->addStretch(1);

    PreviewPanel1 = new QLabel(QStringLiteral("PREVIEW"), page);
    PreviewPanel1->setObjectName(QStringLiteral("PreviewPanel1"));
    PreviewPanel1->setToolTip(
        QStringLiteral("今日の日付ではありません。HTMLタグの内容は反映されません。"));
    PreviewPanel1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    PreviewPanel1->setAlignment(Qt::AlignCenter);
    QFont large = PreviewPanel1->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    PreviewPanel1->setFont(large);
    PreviewPanel1->setMinimumHeight(PreviewPanel1->fontMetrics().height() * 2);

    auto* options = new QHBoxLayout;
    options->addWidget(GroupBox2, 1);
    options->addWidget(GroupBox3, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(GroupBox1);
    layout->addLayout(options);
    layout->addWidget(PreviewPanel1);
    layout->addStretch(1);
    return page;
}

QWidget* THtmlForm::createWeatherTab()
{
    QWidget* page = tabPage("TabSheet2");

    GroupBox4 = makeCaptioned<QGroupBox>("GroupBox4", QStringLiteral("HTMLタグ設定"), page);
    // Made row by row, the order Tab goes through them.
    wsEdit = fragmentEdit("wsEdit", 28, GroupBox4);
    wcEdit = fragmentEdit("wcEdit", 28, GroupBox4);
    woEdit = fragmentEdit("woEdit", 28, GroupBox4);
    wrEdit = fragmentEdit("wrEdit", 28, GroupBox4);
    wsnowEdit = fragmentEdit("wsnowEdit", 28, GroupBox4);
    weEdit = fragmentEdit("weEdit", 28, GroupBox4);
    auto* tags = new QGridLayout(GroupBox4);
    addLabelled(tags, 0, 0, QStringLiteral("晴れ(&F)："), wsEdit);
    addLabelled(tags, 1, 0, QStringLiteral("くもり(&C)："), wcEdit);
    addLabelled(tags, 2, 0, QStringLiteral("雨(&R)："), wrEdit);
    addLabelled(tags, 3, 0, QStringLiteral("雪(&S)："), wsnowEdit);
    addLabelled(tags, 1, 2, QStringLiteral("境界(&L)："), woEdit);
    addLabelled(tags, 3, 2, QStringLiteral("終了(&E)："), weEdit);

    auto* note = new QLabel(
        QStringLiteral("※備考\n"
                       "天気欄には、上記のリスト外の文字も入力可能です。\n"
                       "その場合は、「日記ファイル全体編集」側に挿入する際に、どの色を\n"
                       "使うかの選択が可能です。また、任意の色を指定することも可能です。"),
        page);
    note->setObjectName(QStringLiteral("NoteLabel"));

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(GroupBox4);
    layout->addWidget(note);
    layout->addStretch(1);
    return page;
}

QWidget* THtmlForm::createTitleTab()
{
    QWidget* page = tabPage("TabSheet3");

    tsEdit = fragmentEdit("tsEdit", 40, page);
    teEdit = fragmentEdit("teEdit", 40, page);
    GroupBox5 = startEndGroup("GroupBox5", tsEdit, teEdit, page);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(GroupBox5);
    layout->addStretch(1);
    return page;
}

QWidget* THtmlForm::createBodyTab()
{
    QWidget* page = tabPage("TabSheet4");

    dsEdit = fragmentEdit("dsEdit", 40, page);
    deEdit = fragmentEdit("deEdit", 40, page);
    GroupBox6 = startEndGroup("GroupBox6", dsEdit, deEdit, page);

    GroupBox7 = makeCaptioned<QGroupBox>("GroupBox7", QStringLiteral("追加設定"), page);
    AfterDiaryCheck = makeCaptioned<QCheckBox>(
        "AfterDiaryCheck", QStringLiteral("日記本文のあとに、水平線を１つ挿入する。(&H)"),
        GroupBox7);
    InsertBRCheck = makeCaptioned<QCheckBox>(
        "InsertBRCheck", QStringLiteral("自動的に、各行末に、改行タグ<BR>を挿入する。(&B)"),
        GroupBox7);
    InsertBRCheck->setToolTip(QStringLiteral("この機能を使うと、挿入作業時に、作業ファイルが生成さ"
                                             "れます。（作業完了後削除されます。）"));
    auto* extras = new QVBoxLayout(GroupBox7);
    extras->addWidget(AfterDiaryCheck);
    extras->addWidget(InsertBRCheck);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(GroupBox6);
    layout->addWidget(GroupBox7);
    layout->addStretch(1);
    return page;
}

QDialogButtonBox* THtmlForm::createButtons()
{
    Button1 = makeButton("Button1", QStringLiteral("&Default"),
                         QStringLiteral("デフォルト設定に戻す"), this);
    BitBtn1 = makeButton("BitBtn1", QStringLiteral("OK"), QStringLiteral("変更を保存"), this);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    // Enter anywhere in the window presses OK; Esc is the dialog's own reject, like Cancel.
    BitBtn1->setDefault(true);
    BitBtn2 = makeButton("BitBtn2", QStringLiteral("Cancel"), QStringLiteral("変更を破棄"), this);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    // Default stands apart at the left, as a reset does.
    return makeButtonBox({{Button1, QDialogButtonBox::ResetRole},
                          {BitBtn1, QDialogButtonBox::AcceptRole},
                          {BitBtn2, QDialogButtonBox::RejectRole}},
                         this);
}

QList<std::pair<QLineEdit*, QString HtmlSettings::*>> THtmlForm::fragmentFields() const
{
    return {{DateStartEdit, &HtmlSettings::HtmlDate1}, {DateEndEdit, &HtmlSettings::HtmlDate2},
            {wsEdit, &HtmlSettings::HtmlSky1},         {wcEdit, &HtmlSettings::HtmlSky2},
            {wrEdit, &HtmlSettings::HtmlSky3},         {wsnowEdit, &HtmlSettings::HtmlSky5},
            {woEdit, &HtmlSettings::HtmlSky6},         {weEdit, &HtmlSettings::HtmlSky4},
            {tsEdit, &HtmlSettings::HtmlTitle1},       {teEdit, &HtmlSettings::HtmlTitle2},
            {dsEdit, &HtmlSettings::HtmlMain1},        {deEdit, &HtmlSettings::HtmlMain2}};
}

void THtmlForm::FormShow()
{
    ShowHtmlSettings();
}

void THtmlForm::ShowHtmlSettings()
{
    for (const auto& [edit, fragment] : fragmentFields()) {
        edit->setText(html_.*fragment);
        edit->setCursorPosition(0); // show where the fragment starts, not where it ends
    }

    const entry::HtmlSwitches switches = entry::switchesForWindow(html_.HtmlSetFlags);
    (switches.kanjiDate ? DateTypeRadio1 : DateTypeRadio2)->setChecked(true);
    WeekViewCheck->setChecked(switches.weekdayShown);
    (switches.japaneseWeekday ? WeekLangRadio1 : WeekLangRadio2)->setChecked(true);
    AfterDiaryCheck->setChecked(switches.ruleAfterEntry);
    InsertBRCheck->setChecked(switches.autoBreaks);
    // The handlers above ran only for controls whose state changed; a control that already
    // stood right sent nothing, so bring the language buttons and the preview in line here.
    WeekViewCheckClick();
}

void THtmlForm::UpdatePreview()
{
    QString sample;
    if (DateTypeRadio1->isChecked())
        sample = QStringLiteral("1999年3月27日");
    else if (DateTypeRadio2->isChecked())
        sample = QStringLiteral("1999/3/27.");
    else
        sample = QStringLiteral("ERROR.");

    if (WeekViewCheck->isChecked()) {
        if (WeekLangRadio1->isChecked())
            sample += QStringLiteral("(土)");
        else if (WeekLangRadio2->isChecked())
            sample += QStringLiteral("Sat.");
        else
            sample = QStringLiteral("ERROR.");
    }
    PreviewPanel1->setText(sample);
}

void THtmlForm::BitBtn1Click()
{
    for (const auto& [edit, fragment] : fragmentFields())
        html_.*fragment = edit->text();
    // Position 3 comes from the language buttons even while they are disabled.
    html_.HtmlSetFlags = entry::flagsFromSwitches(
        {DateTypeRadio1->isChecked(), WeekViewCheck->isChecked(), WeekLangRadio1->isChecked(),
         AfterDiaryCheck->isChecked(), InsertBRCheck->isChecked()});
    emit htmlSettingsChanged();
}

void THtmlForm::Button1Click()
{
    const MsgAnswer answer =
        messages_.show({QStringLiteral("HTML設定をデフォルト設定に戻してよろしいですか？"),
                        appTitle(), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
    if (answer != MsgAnswer::Yes)
        return;
    for (const StoredValue& fragment : htmlFragmentValues())
        (html_.*fragment.fragment).clear();
    entry::FillHtmlDefaults(html_, newProcessFlag_);
    ShowHtmlSettings();
    emit htmlSettingsChanged();
}

void THtmlForm::WeekViewCheckClick()
{
    const bool shown = WeekViewCheck->isChecked();
    WeekLangRadio1->setEnabled(shown);
    WeekLangRadio2->setEnabled(shown);
    UpdatePreview();
}

void THtmlForm::DateTypeRadio1Click()
{
    UpdatePreview();
}

void THtmlForm::DateTypeRadio2Click()
{
    UpdatePreview();
}

void THtmlForm::WeekLangRadio1Click()
{
    UpdatePreview();
}

void THtmlForm::WeekLangRadio2Click()
{
    UpdatePreview();
}
