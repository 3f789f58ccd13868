#pragma once

#include <QWidget>

class Clock;
class FindBar;
class ItemComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class UpDown;
struct MainState;

// The first tab, where the writer composes today's entry: the date with its automatic weekday,
// the weather, the title strip and the body. It owns the entry's controls and the operations
// that set and clear them; the buttons' commands are wired by the main window.
class TodayEntryTab : public QWidget {
    Q_OBJECT
public:
    TodayEntryTab(MainState& state, Clock& clock, QWidget* parent = nullptr);

    // Today's date into the date fields and the locale's weekday name into DayBox.
    void SetTodayDate();
    // Empty body, title and weather, today's date, body not modified. The focus stays.
    void ClearTodayEntry();
    // Selects the weekday item of the date in the fields, or no item.
    void UpdateWeekday();

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
    FindBar* TodayFindBar; // under TodayMemo, hidden until asked for

private:
    QLayout* createDateRow();
    QLayout* createToolRow();
    void createEditors();

    MainState& state_;
    Clock& clock_;
};
