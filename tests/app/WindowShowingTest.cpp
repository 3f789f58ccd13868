#include "app/TMainForm.h"
#include "support/AllWindows.h"
#include "support/FakePlatform.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class WindowShowingTest : public testing::Test {
protected:
    WindowShowingTest()
    {
        fake.files.files[QStringLiteral("/opt/pelmora/basehtml.txt")] = "<HTML>";
        form.state().FirstPageChangeFlag = FirstPageChange::Never;
        form.move(40, 30);
        form.show();
    }

    QDialog* window(const char* name) { return form.findChild<QDialog*>(QLatin1String(name)); }

    FakePlatform fake;
    TMainForm form{fake.platform()};
    QList<QDialog*> windows = allWindows(form.windows());
};

enum class Place { ScreenCentre, BesideMainWindow, WhereItWas };

struct PlaceCase {
    const char* name;
    Place place;
};

// Every showing puts the window in its place again, wherever the writer moved it before.
TEST_F(WindowShowingTest, EveryShowingPutsTheWindowInItsPlace)
{
    const PlaceCase cases[] = {
        {"TDiaryTitleForm", Place::ScreenCentre}, {"TLinkForm", Place::ScreenCentre},
        {"TGraphicForm", Place::WhereItWas},      {"TNewProcessForm", Place::ScreenCentre},
        {"THtmlForm", Place::ScreenCentre},       {"THistoryForm", Place::BesideMainWindow},
        {"TExpForm", Place::ScreenCentre},        {"TAppSetForm", Place::ScreenCentre},
        {"THelpVerForm", Place::ScreenCentre},    {"TDecorationForm", Place::ScreenCentre},
        {"TPleaseForm", Place::ScreenCentre},     {"TWeatherForm", Place::ScreenCentre}};
    ASSERT_EQ(std::size(cases), size_t(windows.size()));
    const QPoint moved[] = {{3, 5}, {11, 7}};
    for (const PlaceCase& c : cases) {
        QDialog* w = window(c.name);
        ASSERT_NE(w, nullptr) << c.name;
        for (const QPoint& elsewhere : moved) {
            w->move(elsewhere);
            w->show();
            const QPoint centreOffset =
                w->frameGeometry().center() - w->screen()->availableGeometry().center();
            // Centred within the few pixels of the window frame.
            if (c.place == Place::ScreenCentre)
                EXPECT_LE(centreOffset.manhattanLength(), 8) << c.name;
            else if (c.place == Place::BesideMainWindow)
                EXPECT_EQ(w->pos(), form.pos() + QPoint(166, 96)) << c.name;
            else
                EXPECT_EQ(w->pos(), elsewhere) << c.name;
            w->hide();
        }
    }
}

struct ButtonsCase {
    const char* window;
    QStringList row; // left to right
    const char* enter;
};

// The closing buttons of each window stand at its bottom right in the design's order, Tab
// goes through them in that order, and Enter presses the design's default button.
TEST_F(WindowShowingTest, ClosingButtonsStandInTheDesignsOrder)
{
    const QString ok = QStringLiteral("BitBtn1"), cancel = QStringLiteral("BitBtn2");
    const ButtonsCase cases[] = {
        {"TDiaryTitleForm", {ok, cancel}, "BitBtn1"},
        {"TLinkForm", {ok, cancel}, "BitBtn1"},
        {"TGraphicForm", {ok, cancel}, "BitBtn1"},
        {"TNewProcessForm", {QStringLiteral("OkButton"), QStringLiteral("NoButton")}, "OkButton"},
        {"THtmlForm", {QStringLiteral("Button1"), ok, cancel}, "BitBtn1"},
        {"THistoryForm", {QStringLiteral("BitBtn1")}, ""}, // Cancel, the only one
        {"TExpForm", {QStringLiteral("Button1")}, "Button1"},
        {"TAppSetForm", {ok, cancel}, "BitBtn1"},
        {"THelpVerForm", {QStringLiteral("OKBtn")}, "OKBtn"},
        {"TDecorationForm", {QStringLiteral("BitBtn1")}, "BitBtn1"},
        {"TPleaseForm", {QStringLiteral("OKBtn")}, "OKBtn"},
        {"TWeatherForm", {QStringLiteral("ReturnButton")}, "ReturnButton"}};
    for (const ButtonsCase& c : cases) {
        QDialog* w = window(c.window);
        ASSERT_NE(w, nullptr) << c.window;
        w->show();
        auto* box = w->findChild<QDialogButtonBox*>(QStringLiteral("ButtonBox"));
        ASSERT_NE(box, nullptr) << c.window;
        QList<QAbstractButton*> buttons = box->buttons();
        std::sort(buttons.begin(), buttons.end(),
                  [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
        QStringList row, tabs;
        for (QAbstractButton* b : buttons)
            row << b->objectName();
        EXPECT_EQ(row, c.row) << c.window;
        QWidget* stop = buttons.first();
        for (int step = 0; step < 100 && tabs.size() < buttons.size(); ++step) {
            if (buttons.contains(stop))
                tabs << stop->objectName();
            stop = stop->nextInFocusChain();
        }
        EXPECT_EQ(tabs, c.row) << c.window;
        QStringList defaults;
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->isDefault())
                defaults << b->objectName();
        EXPECT_EQ(defaults.join(u','), QLatin1String(c.enter)) << c.window;
        const int rightEdge = buttons.last()->mapTo(w, QPoint(buttons.last()->width(), 0)).x();
        EXPECT_GT(rightEdge, w->width() * 3 / 4) << c.window;
        w->hide();
    }
}

} // namespace
