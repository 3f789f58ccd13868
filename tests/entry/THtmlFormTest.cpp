#include "entry/THtmlForm.h"
#include "entry/HtmlSettings.h"
#include "support/FakePlatform.h"
#include "support/Typing.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

struct FieldCase {
    const char* edit;
    QString HtmlSettings::*fragment;
    const char* label;
    const char16_t* firstRun;
};

// Every fragment field: its fragment, its label with the access key, and the first-run text.
const FieldCase fields[] = {
    {"DateStartEdit", &HtmlSettings::HtmlDate1, "開始(&S)：", u"<font color=\"#ff0000\"><b>"},
    {"DateEndEdit", &HtmlSettings::HtmlDate2, "終了(&E)：", u"</b></font>"},
    {"wsEdit", &HtmlSettings::HtmlSky1, "晴れ(&F)：", u"<font color=\"#ffccaa\"><b>"},
    {"wcEdit", &HtmlSettings::HtmlSky2, "くもり(&C)：", u"<font color=\"#ccccff\"><b>"},
    {"wrEdit", &HtmlSettings::HtmlSky3, "雨(&R)：", u"<font color=\"#aaccff\"><b>"},
    {"wsnowEdit", &HtmlSettings::HtmlSky5, "雪(&S)：", u"<font color=\"#ccffff\"><b>"},
    {"woEdit", &HtmlSettings::HtmlSky6, "境界(&L)：", u"<font color=\"#cccccc\"><b>"},
    {"weEdit", &HtmlSettings::HtmlSky4, "終了(&E)：", u"</b></font>"},
    {"tsEdit", &HtmlSettings::HtmlTitle1, "開始(&S)：", u"<BR><STRONG><font color=\"#008000\">"},
    {"teEdit", &HtmlSettings::HtmlTitle2, "終了(&E)：", u"</font></STRONG>"},
    {"dsEdit", &HtmlSettings::HtmlMain1, "開始(&S)：", u"<DIV STYLE=\"margin-left:20pt;\">"},
    {"deEdit", &HtmlSettings::HtmlMain2, "終了(&E)：", u"</DIV>"},
};

bool sameSettings(const HtmlSettings& a, const HtmlSettings& b)
{
    for (const FieldCase& f : fields) {
        if (a.*f.fragment != b.*f.fragment)
            return false;
    }
    return a.HtmlSetFlags == b.HtmlSetFlags;
}

class THtmlFormTest : public testing::Test {
protected:
    void SetUp() override { entry::FillHtmlDefaults(html, newProcessFlag); }

    // Opens the window the way the main window does, without a modal loop.
    void open()
    {
        if (!form)
            form = std::make_unique<THtmlForm>(html, newProcessFlag, messages);
        form->show();
    }
    void reopenFresh()
    {
        form.reset();
        open();
    }

    template <typename T = QWidget> T* child(const QString& name)
    {
        T* found = form->findChild<T*>(name);
        if (!found)
            throw std::runtime_error("no control " + name.toStdString());
        return found;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(QString::fromUtf8(name)); }
    bool checked(const char* name) { return child<QAbstractButton>(name)->isChecked(); }
    bool enabled(const char* name) { return child(name)->isEnabled(); }
    void click(const QString& name) { child<QAbstractButton>(name)->click(); }
    QString preview() { return child<QLabel>("PreviewPanel1")->text(); }

    // The controls as the defaults show them.
    void expectDefaultControls()
    {
        for (const FieldCase& f : fields)
            EXPECT_EQ(edit(f.edit)->text(), QString::fromUtf16(f.firstRun)) << f.edit;
        EXPECT_TRUE(checked("DateTypeRadio1") && !checked("DateTypeRadio2"));
        EXPECT_TRUE(checked("WeekViewCheck"));
        EXPECT_TRUE(checked("WeekLangRadio1") && !checked("WeekLangRadio2"));
        EXPECT_TRUE(enabled("WeekLangRadio1") && enabled("WeekLangRadio2"));
        EXPECT_FALSE(checked("AfterDiaryCheck"));
        EXPECT_FALSE(checked("InsertBRCheck"));
        EXPECT_EQ(preview(), QStringLiteral("1999年3月27日(土)"));
    }

    HtmlSettings html;
    bool newProcessFlag = false;
    FakeMessages messages;
    std::unique_ptr<THtmlForm> form;
};

TEST_F(THtmlFormTest, FirstRunShowsTheDefaultsInEveryControl)
{
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("日記HTML設定"));
    expectDefaultControls();
    for (const FieldCase& f : fields) {
        // The label beside the field carries its access key and names it for screen readers.
        QLineEdit* field = edit(f.edit);
        bool labelled = false;
        for (QLabel* label : form->findChildren<QLabel*>())
            labelled |= label->buddy() == field && label->text() == QString::fromUtf8(f.label);
        EXPECT_TRUE(labelled) << f.edit;
        EXPECT_TRUE(QString::fromUtf8(f.label).startsWith(field->accessibleName())) << f.edit;
        EXPECT_FALSE(field->accessibleName().isEmpty()) << f.edit;
    }
    const QStringList tabs = {"日付表示設定", "天気表示設定", "タイトル表示設定", "本文表示設定"};
    const auto* pages = child<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), tabs.size());
    for (int i = 0; i < pages->count(); ++i)
        EXPECT_EQ(pages->tabText(i), tabs[i]);
    EXPECT_TRUE(child<QPushButton>("BitBtn1")->isDefault());
    EXPECT_FALSE(child<QPushButton>("BitBtn2")->isDefault()
                 || child<QPushButton>("Button1")->isDefault());
}

TEST_F(THtmlFormTest, ClicksDriveThePreviewTheLanguageButtonsAndTheFlagsOkWrites)
{
    const struct {
        QStringList clicks;
        QString preview;
        bool languagesEnabled;
        QString flags;
    } cases[] = {
        {{}, "1999年3月27日(土)", true, "00011"},
        {{"DateTypeRadio2", "WeekLangRadio2"}, "1999/3/27.Sat.", true, "10111"},
        {{"WeekViewCheck"}, "1999年3月27日", false, "01011"},
        {{"WeekViewCheck", "WeekViewCheck"}, "1999年3月27日(土)", true, "00011"},
        {{"DateTypeRadio2"}, "1999/3/27.(土)", true, "10011"},
        {{"DateTypeRadio2", "DateTypeRadio1"}, "1999年3月27日(土)", true, "00011"},
        // The disabled language buttons keep their state, and it is written.
        {{"WeekLangRadio2", "WeekViewCheck"}, "1999年3月27日", false, "01111"},
        {{"AfterDiaryCheck"}, "1999年3月27日(土)", true, "00001"},
        {{"InsertBRCheck"}, "1999年3月27日(土)", true, "00010"},
    };
    for (const auto& c : cases) {
        html.HtmlSetFlags = HtmlFlags(QStringLiteral("00011"));
        reopenFresh();
        for (const QString& name : c.clicks)
            click(name);
        const std::string row = c.clicks.join(u' ').toStdString();
        EXPECT_EQ(preview(), c.preview) << row;
        EXPECT_EQ(enabled("WeekLangRadio1"), c.languagesEnabled) << row;
        EXPECT_EQ(enabled("WeekLangRadio2"), c.languagesEnabled) << row;
        click("BitBtn1");
        EXPECT_EQ(html.HtmlSetFlags.text(), c.flags) << row;
    }
}

TEST_F(THtmlFormTest, ShowingReadsTheFlagsAndOkWritesFiveCharacters)
{
    const struct {
        QString flags;
        bool slashDate, weekday, english, rule, breaks;
        QString preview;
        QString okWrites;
    } cases[] = {
        {"", false, true, false, false, false, "1999年3月27日(土)", "00011"},
        {"01", false, false, false, false, false, "1999年3月27日", "01011"},
        {"00011", false, true, false, false, false, "1999年3月27日(土)", "00011"},
        {"0000011111", false, true, false, true, true, "1999年3月27日(土)", "00000"},
        {"xyz", false, true, false, false, false, "1999年3月27日(土)", "00011"},
        {"1", true, true, false, false, false, "1999/3/27.(土)", "10011"},
        {"11100", true, false, true, true, true, "1999/3/27.", "11100"},
        {"00100", false, true, true, true, true, "1999年3月27日Sat.", "00100"},
    };
    for (const auto& c : cases) {
        // A fresh window each time: the first showing must set the language buttons and the
        // preview even where a control already stood as the flags want it.
        html.HtmlSetFlags = HtmlFlags(c.flags);
        reopenFresh();
        const std::string row = "flags \"" + c.flags.toStdString() + "\"";
        EXPECT_EQ(checked("DateTypeRadio2"), c.slashDate) << row;
        EXPECT_EQ(checked("DateTypeRadio1"), !c.slashDate) << row;
        EXPECT_EQ(checked("WeekViewCheck"), c.weekday) << row;
        EXPECT_EQ(checked("WeekLangRadio2"), c.english) << row;
        EXPECT_EQ(checked("WeekLangRadio1"), !c.english) << row;
        EXPECT_EQ(enabled("WeekLangRadio1") && enabled("WeekLangRadio2"), c.weekday) << row;
        EXPECT_EQ(checked("AfterDiaryCheck"), c.rule) << row;
        EXPECT_EQ(checked("InsertBRCheck"), c.breaks) << row;
        EXPECT_EQ(preview(), c.preview) << row;

        click("BitBtn1");
        EXPECT_EQ(html.HtmlSetFlags.text(), c.okWrites) << row;
        EXPECT_FALSE(form->isVisible()) << row;
    }
}

TEST_F(THtmlFormTest, OkTakesEveryFieldExactlyAsTyped)
{
    open();
    // Distinct, awkward texts: blanks at both ends, quotes, Japanese, line breaks inside,
    // an empty field and one longer than a line edit's usual limit of 32767.
    const QString longText = QString(100000, u'x') + QStringLiteral("<end>");
    QStringList texts;
    for (const FieldCase& f : fields)
        texts.append(QStringLiteral("  <span class=\"%1\">日記&amp;  ").arg(QLatin1String(f.edit)));
    texts[7] = QString();                                // weEdit emptied
    texts[9] = QStringLiteral("</font>\r\n</STRONG>\t"); // teEdit
    texts[10] = longText;                                // dsEdit
    for (int i = 0; i < int(std::size(fields)); ++i)
        edit(fields[i].edit)->setText(texts[i]);
    typeText(edit("tsEdit"), QStringLiteral(" <b> ")); // typed key by key after what is there
    texts[8] += QStringLiteral(" <b> ");

    click("BitBtn1");
    // Compared as booleans so that a failure does not print 100000 characters.
    for (int i = 0; i < int(std::size(fields)); ++i)
        EXPECT_TRUE(html.*fields[i].fragment == texts[i])
            << fields[i].edit << " holds " << (html.*fields[i].fragment).left(60).toStdString()
            << "... (" << (html.*fields[i].fragment).size() << " characters)";

    open(); // the next showing puts the long text back whole
    EXPECT_EQ(edit("dsEdit")->text().size(), longText.size());
}

TEST_F(THtmlFormTest, CancelAndEscKeepTheSettingsOkAndEnterTakeTheChanges)
{
    html.HtmlSky4 = QStringLiteral("</i>");
    html.HtmlSetFlags = HtmlFlags(QStringLiteral("01"));
    const HtmlSettings before = html;
    enum Way { CancelButton, Escape, OkButton, Enter };
    for (Way way : {CancelButton, Escape, OkButton, Enter}) {
        html = before;
        open();
        edit("weEdit")->setText(QStringLiteral("changed"));
        click("DateTypeRadio2");
        click("InsertBRCheck");
        if (way == CancelButton || way == OkButton)
            click(way == OkButton ? "BitBtn1" : "BitBtn2");
        else
            QTest::keyClick(edit("weEdit"), way == Enter ? Qt::Key_Return : Qt::Key_Escape);
        // The default button may press itself with a short animation before it clicks.
        for (int waited = 0; form->isVisible() && waited < 2000; waited += 10)
            QTest::qWait(10);
        EXPECT_FALSE(form->isVisible()) << way;
        if (way == CancelButton || way == Escape) {
            EXPECT_TRUE(sameSettings(html, before)) << way;
            open(); // and the next showing shows the settings, not what was typed
            EXPECT_EQ(edit("weEdit")->text(), QStringLiteral("</i>")) << way;
            EXPECT_TRUE(checked("DateTypeRadio1")) << way;
            form->hide();
        } else {
            EXPECT_EQ(html.HtmlSky4, QStringLiteral("changed")) << way;
            EXPECT_EQ(html.HtmlSetFlags.text(), QStringLiteral("11010")) << way;
        }
        EXPECT_TRUE(newProcessFlag);
    }
}

TEST_F(THtmlFormTest, DefaultAnsweredYesResetsAtOnceAndCancelKeepsIt)
{
    html.HtmlSky4 = QStringLiteral("</i>");
    html.HtmlMain1 = QString();
    html.HtmlSetFlags = HtmlFlags(QStringLiteral("11100"));
    newProcessFlag = false;
    open();
    edit("wsEdit")->setText(QStringLiteral("typed, not saved"));

    messages.answer({MsgAnswer::Yes});
    click("Button1");
    ASSERT_EQ(messages.shown.size(), 1);
    const Message& asked = messages.shown.front();
    EXPECT_EQ(asked.text, QStringLiteral("HTML設定をデフォルト設定に戻してよろしいですか？"));
    EXPECT_EQ(asked.caption, QStringLiteral("Pelmora 2"));
    EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
    EXPECT_EQ(asked.icon, MsgIcon::Question);

    // The settings themselves changed, and the window stays open showing them.
    EXPECT_TRUE(form->isVisible());
    expectDefaultControls();
    click("BitBtn2");
    for (const FieldCase& f : fields)
        EXPECT_EQ(html.*f.fragment, QString::fromUtf16(f.firstRun)) << f.edit;
    EXPECT_EQ(html.HtmlSetFlags.text(), QStringLiteral("00011"));
    EXPECT_TRUE(newProcessFlag);
}

TEST_F(THtmlFormTest, DefaultAnsweredNoChangesNothing)
{
    html.HtmlSky4 = QStringLiteral("</i>");
    html.HtmlSetFlags = HtmlFlags(QStringLiteral("11100"));
    newProcessFlag = false;
    const HtmlSettings before = html;
    open();
    edit("wsEdit")->setText(QStringLiteral("typed"));

    messages.answer({MsgAnswer::No});
    click("Button1");
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(sameSettings(html, before));
    EXPECT_FALSE(newProcessFlag);
    EXPECT_EQ(edit("wsEdit")->text(), QStringLiteral("typed"));
    EXPECT_EQ(edit("weEdit")->text(), QStringLiteral("</i>"));
    EXPECT_TRUE(checked("DateTypeRadio2"));
}

TEST_F(THtmlFormTest, KeepsTheTabLastShownBetweenOpenings)
{
    open();
    auto* tabs = child<QTabWidget>("PageControl1");
    for (int tab : {2, 3, 1}) {
        tabs->setCurrentIndex(tab);
        click(tab == 3 ? "BitBtn1" : "BitBtn2");
        open();
        EXPECT_EQ(tabs->currentIndex(), tab);
    }
}

} // namespace
