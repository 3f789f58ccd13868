#pragma once

#include <iosfwd>

class ItemComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class UpDown;
struct TodayEntry;

// The first tab's controls, found by the object names every control carries, so that a test
// can type into them and read them as the writer would. A control that cannot be found ends
// the test run with its name.
struct TodayControls {
    explicit TodayControls(const QWidget* tab);

    QLineEdit* YearEdit;
    QLineEdit* MonthEdit;
    QLineEdit* DateEdit;
    UpDown* YearUpDown;
    UpDown* MonthUpDown;
    UpDown* DateUpDown;
    ItemComboBox* DayBox;
    ItemComboBox* WeatherBox;
    QPushButton* DeleteBtn;
    QPushButton* AddTitleBtn;
    QPushButton* BRBtn;
    QPushButton* UseHintBtn;
    QLabel* PanelDiaryTitle;
    QPlainTextEdit* TodayMemo;
    QPlainTextEdit* WorkMemo;
};

// The same, found anew: for a test that reaches one control once.
inline TodayControls controls(const QWidget* tab)
{
    return TodayControls(tab);
}

// Every field of the entry, for a test's failure message.
void PrintTo(const TodayEntry& entry, std::ostream* out);
