#include "core/MainState.h"
#include "platform/Controls.h"
#include "settings/TAppSetForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString fixedPitch = u"ＭＳ ゴシック"_s;
const QString proportional = u"ＭＳ Ｐゴシック"_s;

class AppSetFormTest : public testing::Test {
protected:
    void SetUp() override { setEditorFont(fixedPitch, 10); }

    void setEditorFont(const QString& face, int size)
    {
        QFont font(face, size);
        todayMemo->setFont(font);
        allMemo->setFont(font);
    }

    // Shown the way exec() shows it, but without a nested event loop, and made the active
    // window so that focus moves as it does for the writer.
    void showForm()
    {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void typeSize(const QString& text)
    {
        form.SizeEdit->setFocus(Qt::TabFocusReason);
        form.SizeEdit->selectAll();
        QTest::keyClick(form.SizeEdit, Qt::Key_Delete);
        QTest::keyClicks(form.SizeEdit, text);
    }

    void expectFonts(const QString& face, int size)
    {
        for (QPlainTextEdit* editor : {todayMemo.get(), allMemo.get()}) {
            EXPECT_EQ(editor->font().family(), face) << editor->objectName().toStdString();
            EXPECT_EQ(editor->font().pointSize(), size) << editor->objectName().toStdString();
        }
    }

    MainState state;
    std::unique_ptr<QPlainTextEdit> todayMemo{makeMemo("TodayMemo", u"今日の日記本文"_s, nullptr)};
    std::unique_ptr<QPlainTextEdit> allMemo{makeMemo("AllMemo", u"日記HTML"_s, nullptr)};
    TAppSetForm form{state, todayMemo.get(), allMemo.get()};
};

TEST_F(AppSetFormTest, EachShowingLoadsTheEditorFontAndTheFlags)
{
    using enum FirstPageChange;
    const struct {
        const char* name;
        QString face;
        int size;
        bool newProcess;
        FirstPageChange firstPage;
        QString sizeText;
        bool pro, box1, box2;
    } cases[] = {
        {"start", fixedPitch, 10, true, ShowAtSwitch, u"10"_s, false, true, true},
        {"proportional", proportional, 12, false, Never, u"12"_s, true, false, false},
        {"shown this run", fixedPitch, 9, true, ShownThisRun, u"9"_s, false, true, true},
        {"other face", u"IPAGothic"_s, 99, false, ShowAtSwitch, u"99"_s, false, false, true},
        // A size kept in the settings is shown whole, though the writer can type only two digits.
        {"large stored size", proportional, 120, true, Never, u"120"_s, true, true, false},
    };
    for (const auto& c : cases) {
        setEditorFont(c.face, c.size);
        state.NewProcessFlag = c.newProcess;
        state.FirstPageChangeFlag = c.firstPage;
        form.SizeEdit->setText(u"77"_s);
        form.CheckBox1->setChecked(!c.box1);
        form.CheckBox2->setChecked(!c.box2);
        form.show();
        EXPECT_EQ(form.SizeEdit->text(), c.sizeText) << c.name;
        EXPECT_EQ(form.ProRadio->isChecked(), c.pro) << c.name;
        EXPECT_EQ(form.TouhabaRadio->isChecked(), !c.pro) << c.name;
        EXPECT_EQ(form.CheckBox1->isChecked(), c.box1) << c.name;
        EXPECT_EQ(form.CheckBox2->isChecked(), c.box2) << c.name;
        form.reject();
    }
}

// Leaving the field corrects it; Enter in the field presses OK with the text as it stands.
TEST_F(AppSetFormTest, SizeTextOnLeavingTheFieldAndOnEnter)
{
    const struct {
        QString typed;
        QString afterLeaving;
        int sizeAfterEnter; // 10 before; a size below 1 leaves it
    } cases[] = {
        {u"3"_s, u"5"_s, 3},    {u"ab"_s, u"5"_s, 10},   {u""_s, u"5"_s, 10},
        {u"0"_s, u"5"_s, 10},   {u"-7"_s, u"5"_s, 10},   {u"5"_s, u"5"_s, 5},
        {u"42"_s, u"42"_s, 42}, {u"999"_s, u"99"_s, 99}, // only two characters can be typed
    };
    for (const auto& c : cases) {
        const std::string name = c.typed.toStdString();
        showForm();
        typeSize(c.typed);
        form.ProRadio->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(form.SizeEdit->text(), c.afterLeaving) << name;
        form.reject();

        setEditorFont(fixedPitch, 10);
        showForm();
        typeSize(c.typed);
        QTest::keyClick(form.SizeEdit, Qt::Key_Return);
        EXPECT_FALSE(form.isVisible()) << name;
        EXPECT_EQ(form.result(), QDialog::Accepted) << name;
        expectFonts(fixedPitch, c.sizeAfterEnter);
    }

    // A stored size of 100 or more, shown whole, is corrected on leaving as well.
    setEditorFont(fixedPitch, 120);
    showForm();
    form.SizeEdit->setFocus(Qt::TabFocusReason);
    form.ProRadio->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form.SizeEdit->text(), u"99"_s);
}

TEST_F(AppSetFormTest, OkAppliesTheFontToBothEditorsAndSetsTheFlags)
{
    using enum FirstPageChange;
    const struct {
        const char* name;
        bool pro, box1, box2;
        FirstPageChange firstPageBefore;
        QString face;
        bool newProcess;
        FirstPageChange firstPage;
    } cases[] = {
        {"unchanged start", false, true, true, ShowAtSwitch, fixedPitch, true, ShowAtSwitch},
        {"proportional", true, false, true, Never, proportional, false, ShowAtSwitch},
        {"shown this run stays shown", false, true, true, ShownThisRun, fixedPitch, true,
         ShownThisRun},
        {"turned off", true, true, false, ShownThisRun, proportional, true, Never},
        {"turned off at start", false, false, false, ShowAtSwitch, fixedPitch, false, Never},
    };
    for (const auto& c : cases) {
        setEditorFont(u"IPAGothic"_s, 10);
        state.FirstPageChangeFlag = c.firstPageBefore;
        state.NewProcessFlag = !c.box1;
        form.show();
        form.SizeEdit->setText(u"14"_s);
        (c.pro ? form.ProRadio : form.TouhabaRadio)->setChecked(true);
        form.CheckBox1->setChecked(c.box1);
        form.CheckBox2->setChecked(c.box2);
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Accepted) << c.name;
        expectFonts(c.face, 14);
        EXPECT_EQ(state.NewProcessFlag, c.newProcess) << c.name;
        EXPECT_EQ(state.FirstPageChangeFlag, c.firstPage) << c.name;
    }
}

TEST_F(AppSetFormTest, CancelAndEscChangeNothing)
{
    for (bool esc : {false, true}) {
        setEditorFont(fixedPitch, 11);
        state.NewProcessFlag = true;
        state.FirstPageChangeFlag = FirstPageChange::ShownThisRun;
        showForm();
        typeSize(u"30"_s);
        form.ProRadio->setChecked(true);
        form.CheckBox1->setChecked(false);
        form.CheckBox2->setChecked(false);
        if (esc)
            QTest::keyClick(&form, Qt::Key_Escape);
        else
            QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Rejected);
        expectFonts(fixedPitch, 11);
        EXPECT_EQ(state.NewProcessFlag, true);
        EXPECT_EQ(state.FirstPageChangeFlag, FirstPageChange::ShownThisRun);
    }
    // The next showing starts again from the editors and the flags.
    form.show();
    EXPECT_EQ(form.SizeEdit->text(), u"11"_s);
    EXPECT_TRUE(form.TouhabaRadio->isChecked());
    EXPECT_TRUE(form.CheckBox2->isChecked());
}

TEST_F(AppSetFormTest, AccessKeysReachTheirControls)
{
    showForm();
    form.BitBtn2->setFocus();
    QTest::keyClick(&form, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form.SizeEdit);
    QTest::keyClick(&form, Qt::Key_P, Qt::AltModifier); // a button's access key clicks it, animated
    EXPECT_TRUE(QTest::qWaitFor([this] { return form.ProRadio->isChecked(); }, 2000));
    QTest::keyClick(&form, Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form.CheckBox2);
}

} // namespace
