#include "app/TMainForm.h"
#include "entry/TDiaryTitleForm.h"
#include "platform/Controls.h"
#include "support/AllWindows.h"
#include "support/FakePlatform.h"
#include "tags/TDecorationForm.h"

#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

std::string lines(const QStringList& list)
{
    return list.join(u'\n').toStdString();
}

bool isTabStop(const QWidget* w)
{
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
           && !w->focusProxy();
}

QString nameOf(const QWidget* w)
{
    return w->objectName().isEmpty() ? w->accessibleName() : w->objectName();
}

// What the window tells a screen reader wrongly: a control or button without a name, a name
// with an access-key mark, two controls with one name, a display whose text is not heard.
QStringList readerFaults(QAccessibleInterface* iface, QStringList& names)
{
    auto* w = qobject_cast<QWidget*>(iface->object());
    if (!w || !w->isVisible())
        return {};
    QStringList faults;
    const QString name = iface->text(QAccessible::Name);
    const QAccessible::Role role = iface->role();
    const bool control = isTabStop(w) || role == QAccessible::PushButton
                         || role == QAccessible::CheckBox || role == QAccessible::RadioButton;
    if (control && (name.trimmed().isEmpty() || name.contains(u'&')))
        faults << nameOf(w) + QStringLiteral(": named \"") + name + u'"';
    if (control && w->isEnabled())
        names << name;
    const auto* label = qobject_cast<QLabel*>(w);
    const QString heard = name + iface->text(QAccessible::Description);
    if (label && !heard.contains(QString(label->text()).remove(u'&')))
        faults << nameOf(w) + QStringLiteral(": shows \"") + label->text() + u'"';
    for (int i = 0; i < iface->childCount(); ++i)
        faults << readerFaults(iface->child(i), names);
    return faults;
}

QStringList readerFaults(QWidget* window)
{
    QStringList names;
    QStringList faults = readerFaults(QAccessible::queryAccessibleInterface(window), names);
    for (const QString& name : names) {
        if (names.count(name) > 1)
            faults << QStringLiteral("two controls named ") + name;
    }
    faults.removeDuplicates();
    return faults;
}

// The tab stops as they are seen: rows from top to bottom (a row holds what starts above the
// middle of its first control), left to right within a row, a panel's contents in its place.
QStringList readingOrder(QWidget* container)
{
    QList<QWidget*> kids = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    kids.removeIf([](QWidget* w) { return !w->isVisible() || w->isWindow(); });
    std::sort(kids.begin(), kids.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    for (qsizetype start = 0; start < kids.size();) {
        const int rowMiddle = kids[start]->geometry().center().y();
        qsizetype end = start + 1;
        while (end < kids.size() && kids[end]->y() < rowMiddle)
            ++end;
        std::sort(kids.begin() + start, kids.begin() + end,
                  [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
        start = end;
    }
    QStringList order;
    for (QWidget* w : kids)
        order << (isTabStop(w) ? QStringList{nameOf(w)} : readingOrder(w));
    return order;
}

// Where Tab takes the focus, pressed once for every tab stop, from the first one.
QStringList tabOrder(QWidget* window, const QStringList& stops)
{
    QStringList order;
    QWidget* first = window->findChild<QWidget*>(stops.value(0));
    if (!first)
        return order;
    first->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 0; i < stops.size(); ++i) {
        QWidget* focus = window->focusWidget();
        while (focus && !stops.contains(nameOf(focus)))
            focus = focus->parentWidget();
        order << (focus ? nameOf(focus) : QStringLiteral("(nothing)"));
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    }
    return order;
}

class AccessibilityTest : public testing::Test {
protected:
    AccessibilityTest()
    {
        fake.files.files[QStringLiteral("/opt/pelmora/basehtml.txt")] = "<HTML>";
        allWindows(form.windows()); // every window made, to be found by name
        form.state().RecentFiles = {QStringLiteral("/d/a.htm"), QStringLiteral("/d/b.htm"), {}};
        form.state().FirstPageChangeFlag = FirstPageChange::Never;
    }

    template <typename T> T* window(const char* name)
    {
        return form.findChild<T*>(QLatin1String(name));
    }

    FakePlatform fake;
    TMainForm form{fake.platform()};
};

struct WindowCase {
    const char* name;
    std::function<void()> prepare; // after the window is shown
};

TEST_F(AccessibilityTest, EveryWindowSpeaksAndTabsInTheOrderItIsSeen)
{
    const auto titled = [this] {
        form.windows().diaryTitle().TitleEdit->setText(QStringLiteral("春の日"));
        form.windows().diaryTitle().BitBtn1Click();
    };
    const auto secondTab = [this] {
        form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    };
    const auto weatherTab = [this] {
        window<QDialog>("THtmlForm")->findChild<QTabWidget*>()->setCurrentIndex(1);
    };
    const auto selection = [this] {
        form.windows().decoration().PreviewPanel->setText(QStringLiteral("選んだ文"));
    };
    const WindowCase cases[] = {{"TMainForm", titled},
                                {"TMainForm", secondTab},
                                {"TDiaryTitleForm", {}},
                                {"TLinkForm", {}},
                                {"TGraphicForm", {}},
                                {"TNewProcessForm", {}},
                                {"THtmlForm", {}},
                                {"THtmlForm", weatherTab},
                                {"THistoryForm", {}},
                                {"TExpForm", {}},
                                {"TAppSetForm", {}},
                                {"THelpVerForm", {}},
                                {"TDecorationForm", selection},
                                {"TPleaseForm", {}},
                                {"TWeatherForm", {}}};
    form.show();
    for (const WindowCase& c : cases) {
        QWidget* w = form.objectName() == QLatin1String(c.name) ? static_cast<QWidget*>(&form)
                                                                : window<QDialog>(c.name);
        ASSERT_NE(w, nullptr) << c.name;
        w->show();
        if (c.prepare)
            c.prepare();
        EXPECT_EQ(lines(readerFaults(w)), "") << c.name;
        const QStringList seen = readingOrder(w);
        ASSERT_FALSE(seen.isEmpty()) << c.name;
        EXPECT_EQ(lines(tabOrder(w, seen)), lines(seen)) << c.name;
        if (w == &form)
            continue;
        QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
        EXPECT_TRUE(w->isHidden()) << c.name << " stays open after Esc";
        w->hide();
    }
}

TEST(SpokenName, DropsTheAccessKeyAndTheLabelsColon)
{
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"削除(&D)", u"削除"},
        {u"リンクの名称(&N)：", u"リンクの名称"},
        {u"1999年3月26日 (&K)", u"1999年3月26日"},
        {u"&OK", u"OK"},
        {u"ヘルプ(F1)", u"ヘルプ(F1)"}};
    for (const auto& [caption, spoken] : cases)
        EXPECT_EQ(spokenName(QString::fromUtf16(caption)), QString::fromUtf16(spoken));
}

} // namespace
