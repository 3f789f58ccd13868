#include "app/CommandTable.h"
#include "core/AppError.h"
#include "core/ErrorHandler.h"
#include "support/FakePlatform.h"

#include <QAction>
#include <QCheckBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class CommandTableTest : public testing::Test {
protected:
    void build()
    {
        using K = CommandRow::Kind;
        table->build({
            {K::Menu, "MenuA", QStringLiteral("A(&A)")},
            {K::Command,
             "One",
             QStringLiteral("One(&1)"),
             {QKeySequence(Qt::CTRL | Qt::Key_1)},
             [this] { ++runs; },
             [this] { return offered; }},
            {K::Separator, "Line"},
            {K::Submenu, "Sub", QStringLiteral("Sub(&S)"), {}, {}, [this] { return !offered; }},
            {K::Command,
             "Two",
             QStringLiteral("Two(&2)"),
             {},
             [] { throw AppError(QStringLiteral("failed")); },
             {},
             "Sub"},
            {K::Menu, "MenuB", QStringLiteral("B(&B)")},
            {K::Command,
             "Three",
             QStringLiteral("Three(&3)"),
             {},
             [this] { ++runs; },
             {},
             nullptr,
             true},
        });
    }
    QStringList names(const QList<QAction*>& items)
    {
        QStringList list;
        for (const QAction* item : items)
            list << item->objectName();
        return list;
    }

    FakePlatform fake;
    ErrorHandler errors{fake.messages};
    QMainWindow window;
    CommandTable* table = new CommandTable(window.menuBar(), &window, errors);
    int runs = 0;
    bool offered = true;
};

TEST_F(CommandTableTest, BuildsTheMenusInTheTablesOrder)
{
    build();
    const QList<QMenu*> menus =
        window.menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(window.menuBar()->actions()[0]->text(), QStringLiteral("A(&A)"));
    QMenu* a = window.findChild<QMenu*>(QStringLiteral("MenuA"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(names(a->actions()), QStringList({u"One"_s, u"Line"_s, u"Sub"_s}));
    EXPECT_TRUE(a->actions()[1]->isSeparator());
    EXPECT_EQ(names(table->action("Sub")->menu()->actions()), QStringList({u"Two"_s}));
    EXPECT_EQ(table->action("One")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    EXPECT_TRUE(table->action("Three")->isCheckable());
    EXPECT_FALSE(table->action("One")->isCheckable());
    EXPECT_EQ(table->action("Three")->parent(), &window);
}

TEST_F(CommandTableTest, RulesDecideTheStatesAtEverySignalTheTableFollows)
{
    QCheckBox announcer;
    QPushButton own;
    build();
    table->recheckOn(&announcer, &QCheckBox::toggled);
    table->enableWhen(&own, [this] { return !offered; });
    EXPECT_TRUE(table->action("One")->isEnabled());
    EXPECT_FALSE(table->action("Sub")->isEnabled());
    EXPECT_FALSE(own.isEnabled());
    offered = false;
    EXPECT_TRUE(table->action("One")->isEnabled()); // only when announced
    announcer.toggle();
    EXPECT_FALSE(table->action("One")->isEnabled());
    EXPECT_TRUE(table->action("Sub")->isEnabled());
    EXPECT_TRUE(own.isEnabled());
    EXPECT_TRUE(table->action("Three")->isEnabled()); // no rule: always
}

TEST_F(CommandTableTest, ButtonsRunTheirItemsCommandAndFailuresAreShown)
{
    build();
    QPushButton one, two;
    table->bindButton(&one, "One");
    table->bindButton(&two, "Two");
    one.click();
    table->action("One")->trigger();
    EXPECT_EQ(runs, 2);
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    two.click();
    table->action("Two")->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 2);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("failed."));
    EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Stop);
}

} // namespace
