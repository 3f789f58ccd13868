#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/Typing.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// Runs `ask` with `drive` handed the window while it is open; a window `drive` leaves open is
// closed as Esc would close it.
template <typename Form, typename Ask>
std::optional<QString> withWindow(Form& form, Ask ask, std::function<void(Form&)> drive)
{
    ModalCloser closer([&](QDialog*) { drive(form); });
    std::optional<QString> result = ask();
    EXPECT_EQ(closer.opened, QStringList{form.objectName()});
    return result;
}

TEST(TLinkFormTest, PrefillsFocusesAndBuildsTheTag)
{
    FakeMessages messages;
    TLinkForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("リンクの設置"));

    auto ask = [&](const QString& selection) {
        return [&form, &messages, selection] { return form.askTag(selection, messages); };
    };
    // A selection: the link text is the selection (line ends kept), the focus is on the target.
    auto tag = withWindow<TLinkForm>(form, ask(u"一行目\r\n二行目"_qs), [](TLinkForm& f) {
        EXPECT_EQ(f.LinkNameEdit->text(), u"一行目\r\n二行目"_qs);
        EXPECT_TRUE(f.LinkUrlEdit->text().isEmpty());
        EXPECT_EQ(f.focusWidget(), f.LinkUrlEdit);
        f.LinkUrlEdit->setFocus();
        typeText(f.LinkUrlEdit, u"http://example.jp/\"x\""_qs);
        f.WindowCheck->setChecked(true);
        QTest::keyClick(f.LinkUrlEdit, Qt::Key_Return); // Enter is OK
    });
    EXPECT_EQ(tag, u"<A HREF=\"http://example.jp/\"x\"\" TARGET=\"top\">一行目\r\n二行目</A>"_qs);

    // The next opening: the target emptied, the check box kept; an empty target is refused
    // in a plain box and the window stays open.
    messages.answer({MsgAnswer::Ok});
    tag = withWindow<TLinkForm>(form, ask(u" "_qs), [&](TLinkForm& f) {
        EXPECT_TRUE(f.LinkUrlEdit->text().isEmpty());
        EXPECT_TRUE(f.WindowCheck->isChecked());
        f.LinkNameEdit->clear();
        f.BitBtn1->click();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, u"リンク先が未入力です。"_qs);
        EXPECT_EQ(messages.shown[0].caption, u"Pelmora 2"_qs);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.focusWidget(), f.LinkUrlEdit);
        f.WindowCheck->setChecked(false);
        f.LinkUrlEdit->setText(u"b.htm"_qs);
        f.BitBtn1->click();
    });
    EXPECT_EQ(tag, u"<A HREF=\"b.htm\">b.htm</A>"_qs); // empty name: the target twice

    tag = withWindow<TLinkForm>(form, ask(u"x"_qs), [](TLinkForm& f) {
        f.LinkUrlEdit->setText(u"c.htm"_qs);
        f.BitBtn2->click();
    });
    EXPECT_FALSE(tag.has_value());
}

TEST(TGraphicFormTest, ResetsAtEveryOpeningAndBuildsTheTag)
{
    FakeMessages messages;
    TGraphicForm form;
    auto ask = [&] { return form.askTag(messages); };

    messages.answer({MsgAnswer::Ok});
    auto tag = withWindow<TGraphicForm>(form, ask, [&](TGraphicForm& f) {
        EXPECT_TRUE(f.RadioNone->isChecked());
        EXPECT_EQ(f.focusWidget(), f.GraphicFileEdit);
        f.HeightEdit->setText(u"40"_qs);
        f.BitBtn1->click();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, u"画像ファイル名が入力されていません。"_qs);
        EXPECT_EQ(messages.shown[0].caption, u"Pelmora 2"_qs);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.HeightEdit->text(), u"40"_qs); // left as the writer left it
        typeText(f.GraphicFileEdit, u"写真.JPG"_qs);
        f.WidthEdit->setText(u" "_qs);
        f.TextEdit->setText(u"猫"_qs);
        f.RadioRight->click();
        f.BitBtn1->click();
    });
    EXPECT_EQ(tag,
              u"<IMG SRC=\"写真.JPG\" WIDTH=\" \" HEIGHT=\"40\" ALT=\"猫\" ALIGN=\"right\">"_qs);

    tag = withWindow<TGraphicForm>(form, ask, [](TGraphicForm& f) {
        for (QLineEdit* edit : {f.GraphicFileEdit, f.HeightEdit, f.WidthEdit, f.TextEdit})
            EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
        EXPECT_TRUE(f.RadioNone->isChecked());
        f.GraphicFileEdit->setText(u"a.gif"_qs);
        f.RadioLeft->click();
        f.BitBtn2->click();
    });
    EXPECT_FALSE(tag.has_value());
}

class TDecorationFormTest : public testing::Test {
protected:
    std::optional<QString> decorate(const QString& selection,
                                    std::function<void(TDecorationForm&)> drive)
    {
        return withWindow<TDecorationForm>(
            form, [&] { return form.askTag(selection); }, std::move(drive));
    }
    static QStringList down(TDecorationForm& f)
    {
        QStringList names;
        for (QPushButton* b : f.findChildren<QPushButton*>()) {
            if (b->isChecked())
                names.append(b->objectName());
        }
        names.sort();
        return names;
    }
    TDecorationForm form;
};

TEST_F(TDecorationFormTest, ColoursMixTwoAtMostInTheirOrder)
{
    auto tag = decorate(u"赤"_qs, [](TDecorationForm& f) {
        EXPECT_EQ(f.TagPanel->text(), u"TAG PREVIEW"_qs);
        EXPECT_FALSE(f.AttColorLabel->isVisible());
        f.RedBtn->click();
        f.BlueBtn->click();
        EXPECT_EQ(f.TagPanel->text(), u"<FONT COLOR=\"#ff00ff\"> … </FONT>"_qs);
        EXPECT_TRUE(f.AttColorLabel->isVisible());
        f.YellowBtn->click();
        EXPECT_EQ(down(f), (QStringList{u"RedBtn"_qs, u"YellowBtn"_qs}));
        EXPECT_EQ(f.TagPanel->text(), u"<FONT COLOR=\"#ffcc00\"> … </FONT>"_qs);
        f.RedBtn->click(); // releasing one of two leaves the other's own colour
        EXPECT_EQ(f.TagPanel->text(), u"<FONT COLOR=\"#ffff00\"> … </FONT>"_qs);
        f.BlueBtn->click();
        f.GreenBtn->click();
        EXPECT_EQ(down(f), (QStringList{u"BlueBtn"_qs, u"YellowBtn"_qs}));
        EXPECT_EQ(f.TagPanel->text(), u"<FONT COLOR=\"#00ffff\"> … </FONT>"_qs);
        f.BitBtn1->click();
    });
    EXPECT_EQ(tag, u"<FONT COLOR=\"#00ffff\">赤</FONT>"_qs);

    // The next opening leaves no trace of the colours.
    tag = decorate(u"b"_qs, [](TDecorationForm& f) {
        EXPECT_TRUE(down(f).isEmpty());
        EXPECT_FALSE(f.AttColorLabel->isVisible());
        EXPECT_EQ(f.TagPanel->text(), u"TAG PREVIEW"_qs);
        f.BlueBtn->click();
        f.RedBtn->click();
        EXPECT_EQ(f.TagPanel->text(), u"<FONT COLOR=\"#ff00ff\"> … </FONT>"_qs);
    });
    EXPECT_FALSE(tag.has_value()); // closed without OK
}

struct ColourCase {
    const char* first;
    const char* second; // empty: the first colour alone
    const char* value;
};

TEST_F(TDecorationFormTest, EveryColourAndPairGivesItsValuePressedInEitherOrder)
{
    const ColourCase cases[] = {{"RedBtn", "", "#ff0000"},
                                {"RedBtn", "YellowBtn", "#ffcc00"},
                                {"RedBtn", "BlueBtn", "#ff00ff"},
                                {"RedBtn", "GreenBtn", "#ff8000"},
                                {"RedBtn", "WhiteBtn", "#ffcccc"},
                                {"RedBtn", "BlackBtn", "#800000"},
                                {"YellowBtn", "", "#ffff00"},
                                {"YellowBtn", "BlueBtn", "#00ffff"},
                                {"YellowBtn", "GreenBtn", "#00cc00"},
                                {"YellowBtn", "WhiteBtn", "#ffffcc"},
                                {"YellowBtn", "BlackBtn", "#808000"},
                                {"BlueBtn", "", "#0000ff"},
                                {"BlueBtn", "GreenBtn", "#0080ff"},
                                {"BlueBtn", "WhiteBtn", "#ccccff"},
                                {"BlueBtn", "BlackBtn", "#000080"},
                                {"GreenBtn", "", "#008000"},
                                {"GreenBtn", "WhiteBtn", "#ccffcc"},
                                {"GreenBtn", "BlackBtn", "#005000"},
                                {"WhiteBtn", "", "#ffffff"},
                                {"WhiteBtn", "BlackBtn", "#cccccc"},
                                {"BlackBtn", "", "#000000"}};
    for (const ColourCase& c : cases) {
        QStringList order = {QLatin1String(c.first), QLatin1String(c.second)};
        order.removeAll(QString());
        for (int turn = 0; turn < order.size(); ++turn) {
            form.FormShow();
            for (const QString& name : order)
                form.findChild<QPushButton*>(name)->click();
            EXPECT_EQ(form.TagPanel->text(),
                      u"<FONT COLOR=\""_qs + QLatin1String(c.value) + u"\"> … </FONT>"_qs)
                << order.join(u'+').toStdString();
            std::reverse(order.begin(), order.end());
        }
    }
}

TEST_F(TDecorationFormTest, AChangeOfStateThatIsNoClickRebuildsTheTagsToo)
{
    auto tag = decorate(u"x"_qs, [](TDecorationForm& f) {
        QAccessibleInterface* bold = QAccessible::queryAccessibleInterface(f.BoldBtn);
        ASSERT_TRUE(bold && bold->actionInterface());
        bold->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        f.RedBtn->setChecked(true);
        f.YellowBtn->toggle();
        f.BlueBtn->setChecked(true); // a third colour comes up again
        EXPECT_FALSE(f.BlueBtn->isChecked());
        EXPECT_TRUE(f.AttColorLabel->isVisible());
        EXPECT_EQ(f.TagPanel->text(), u"<B><FONT COLOR=\"#ffcc00\"> … </FONT></B>"_qs);
        f.SmallBtn->setChecked(true);
        f.BigBtn->setChecked(true);
        EXPECT_FALSE(f.SmallBtn->isChecked());
        EXPECT_EQ(f.PreviewPanel->font().pointSize(), 18);
        f.BitBtn1->click();
    });
    EXPECT_EQ(tag, u"<B><BIG><FONT COLOR=\"#ffcc00\">x</FONT></BIG></B>"_qs);
}

TEST_F(TDecorationFormTest, StylesSizesAndThePreview)
{
    auto tag = decorate(u"一\r\n二"_qs, [](TDecorationForm& f) {
        EXPECT_EQ(f.PreviewPanel->text(), u"一\r\n二"_qs);
        EXPECT_EQ(f.PreviewPanel->font().pointSize(), 16);
        f.BigBtn->click();
        EXPECT_EQ(f.PreviewPanel->font().pointSize(), 18);
        f.SmallBtn->click();
        EXPECT_FALSE(f.BigBtn->isChecked());
        EXPECT_EQ(f.PreviewPanel->font().pointSize(), 12);
        EXPECT_EQ(f.TagPanel->text(), u"<SMALL> … </SMALL>"_qs);
        f.SmallBtn->click(); // both may be up
        EXPECT_EQ(f.TagPanel->text(), u" … "_qs);
        EXPECT_EQ(f.PreviewPanel->font().pointSize(), 16);

        f.StrongBtn->click();
        EXPECT_TRUE(f.PreviewPanel->font().bold());
        EXPECT_FALSE(f.AttLabel->isVisible());
        f.BoldBtn->click();
        EXPECT_TRUE(f.AttLabel->isVisible());
        EXPECT_FALSE(f.AttLabel->font().bold()); // the note keeps its own type
        f.ItalicBtn->click();
        f.LineBtn->click();
        f.StrikeBtn->click();
        const QFont look = f.PreviewPanel->font();
        EXPECT_TRUE(look.italic() && look.underline() && look.strikeOut());

        // Enter on a focused toggle button is OK, not another press of the button.
        f.StrikeBtn->setFocus();
        QTest::keyClick(f.StrikeBtn, Qt::Key_Return);
        EXPECT_TRUE(f.StrikeBtn->isChecked());
    });
    EXPECT_EQ(tag, u"<B><I><U><STRIKE><STRONG>一\r\n二</STRONG></STRIKE></U></I></B>"_qs);

    tag = decorate(u"<same>"_qs, [](TDecorationForm& f) { f.BitBtn1->click(); });
    EXPECT_EQ(tag, u"<same>"_qs); // no button: the selection back as it was
}

} // namespace
