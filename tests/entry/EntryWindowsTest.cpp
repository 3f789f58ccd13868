#include "core/AppInfo.h"
#include "core/MainState.h"
#include "entry/HtmlSettings.h"
#include "entry/TDiaryTitleForm.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "support/FakePlatform.h"
#include "support/TodayControls.h"
#include "support/Typing.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

TEST(TDiaryTitleFormTest, OkSetsOrRemovesTheTitleAndCancelKeepsIt)
{
    struct Case {
        const char* name;
        QString before;
        QString typed;
        bool ok;
        QString after;
        std::optional<QString> bar; // the caption while shown; nothing while hidden
    };
    const Case cases[] = {
        {"SetsATitle", u""_s, u"春の日"_s, true, u"春の日"_s, u"タイトル： 春の日"_s},
        {"BlanksAreATitle", u""_s, u"  "_s, true, u"  "_s, u"タイトル：   "_s},
        {"MarkupAsTyped", u""_s, u"<i>&</i>"_s, true, u"<i>&</i>"_s, u"タイトル： <i>&</i>"_s},
        {"EmptyRemovesIt", u"旧"_s, u""_s, true, u""_s, std::nullopt},
        {"CancelKeepsTheOldOne", u"旧"_s, u"新"_s, false, u"旧"_s, u"タイトル： 旧"_s},
    };
    for (const Case& c : cases) {
        MainState state;
        FakeClock clock;
        TodayEntryTab tab(state, clock);
        const TodayControls ui(&tab);
        tab.setTitle(c.before);
        TDiaryTitleForm form(state.TodayTitle,
                             [&tab](const QString& title) { tab.setTitle(title); });
        form.show();
        EXPECT_EQ(form.TitleEdit->text(), c.before) << c.name;
        EXPECT_EQ(form.focusWidget(), form.TitleEdit) << c.name;
        form.TitleEdit->clear();
        typeText(form.TitleEdit, c.typed);
        (c.ok ? form.BitBtn1 : form.BitBtn2)->click();
        EXPECT_FALSE(form.isVisible()) << c.name;
        EXPECT_EQ(state.TodayTitle, c.after) << c.name;
        EXPECT_EQ(!ui.PanelDiaryTitle->isHidden(), c.bar.has_value()) << c.name;
        if (c.bar) {
            EXPECT_EQ(ui.PanelDiaryTitle->text(), *c.bar) << c.name;
        }
    }
}

TEST(TDiaryTitleFormTest, TextsAndLimits)
{
    QString title;
    TDiaryTitleForm form(title, [&title](const QString& typed) { title = typed; });
    EXPECT_EQ(form.windowTitle(), u"今日の日記のタイトル"_s);
    EXPECT_EQ(form.GroupBox1->title(), u"今日の日記のタイトルを入力して下さい。"_s);
    EXPECT_EQ(form.Label1->text(),
              u"文字数制限はありませんが、半角換算128文字以内を目安にして下さい。"_s);
    EXPECT_TRUE(form.BitBtn1->isDefault());
    const QString longTitle(40000, u'x'); // past a line edit's own default limit
    form.TitleEdit->setText(longTitle);
    form.BitBtn1->click();
    EXPECT_EQ(title, longTitle);
}

class TWeatherFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        bool newProcess = false;
        entry::FillHtmlDefaults(html, newProcess);
    }
    QString written() const { return form.chosenColour(); }
    bool grey() const
    {
        return form.ColorEdit->palette().color(QPalette::Base)
               == form.palette().color(QPalette::Button);
    }

    HtmlSettings html;
    QString weather = u"霧"_s; // as the first tab's weather box holds it
    FakeMessages messages;
    FakeSystem system;
    TWeatherForm form{html, [this] { return weather; }, messages, system};
};

TEST_F(TWeatherFormTest, ListColoursWriteTheirFragments)
{
    const std::pair<QRadioButton*, QString HtmlSettings::*> choices[] = {
        {form.RB1, &HtmlSettings::HtmlSky1},
        {form.RB2, &HtmlSettings::HtmlSky2},
        {form.RB3, &HtmlSettings::HtmlSky3},
        {form.RB4, &HtmlSettings::HtmlSky5}};
    for (const auto& [radio, fragment] : choices) {
        form.show();
        radio->click();
        form.ReturnButton->click();
        EXPECT_FALSE(form.isVisible()) << radio->objectName().toStdString();
        EXPECT_EQ(written(), html.*fragment) << radio->objectName().toStdString();
    }
}

TEST_F(TWeatherFormTest, EveryShowingStartsOnTheFirstListColourAndKeepsTheTypedColour)
{
    form.show();
    EXPECT_EQ(form.WeatherEdit->text(), u"霧"_s);
    EXPECT_TRUE(form.WeatherEdit->isReadOnly());
    EXPECT_EQ(form.WeatherEdit->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(form.RB1->isChecked());
    EXPECT_EQ(form.ColorEdit->text(), u"black"_s);
    EXPECT_TRUE(grey());
    EXPECT_EQ(system.sounds, QList<SystemSound>{SystemSound::Question});

    form.RB0->click();
    EXPECT_TRUE(form.RB0->isChecked());
    EXPECT_FALSE(grey());
    EXPECT_EQ(form.focusWidget(), form.ColorEdit);
    form.ColorEdit->clear();
    typeText(form.ColorEdit, u"#00ff00 and a long tail"_s); // at most 20 characters
    EXPECT_EQ(form.ColorEdit->text(), u"#00ff00 and a long t"_s);
    form.ReturnButton->click();
    EXPECT_EQ(written(), u"<FONT COLOR=\"#00ff00 and a long t\">"_s);

    weather = u"砂嵐"_s;
    form.show();
    QApplication::processEvents(); // the window takes the focus: ColorEdit must not get it
    EXPECT_EQ(form.WeatherEdit->text(), u"砂嵐"_s);
    EXPECT_EQ(written(), QString()); // nothing chosen yet in this showing
    EXPECT_TRUE(form.RB1->isChecked());
    EXPECT_TRUE(grey());
    EXPECT_EQ(form.ColorEdit->text(), u"#00ff00 and a long t"_s);
    EXPECT_NE(form.focusWidget(), form.ColorEdit);
}

TEST_F(TWeatherFormTest, OkFollowsTheColourTextAndTheListColours)
{
    form.show();
    form.ColorEdit->clear(); // while RB1 is chosen, too
    EXPECT_FALSE(form.ReturnButton->isEnabled());
    form.RB2->click();
    EXPECT_TRUE(form.ReturnButton->isEnabled());
    form.RB0->click();
    EXPECT_FALSE(form.ReturnButton->isEnabled());
    typeText(form.ColorEdit, u"red"_s);
    EXPECT_TRUE(form.ReturnButton->isEnabled());
    form.ColorEdit->clear();
    form.RB2->click();
    EXPECT_TRUE(form.ReturnButton->isEnabled());
    form.ReturnButton->click();
    EXPECT_EQ(written(), html.HtmlSky2);
}

TEST_F(TWeatherFormTest, EmptyTypedColourIsRefusedAndTheWindowStays)
{
    form.show();
    form.RB0->click();
    form.ColorEdit->clear();
    messages.answer({MsgAnswer::Ok});
    form.ReturnButtonClick();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, u"Input Color RGB or Color Name in English."_s);
    EXPECT_EQ(messages.shown[0].caption, appTitle());
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(written(), QString());
}

} // namespace
