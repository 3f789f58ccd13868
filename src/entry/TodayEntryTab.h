#pragma once

#include "entry/TodayEntry.h"

#include <QWidget>

class Clock;
class FindBar;
class ItemComboBox;
class QLabel;
class QLineEdit;
class QAbstractButton;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;
class UpDown;
struct MainState;

// The first tab, where the writer composes today's entry: the date with its automatic weekday,
// the weather, the title strip and the body. It owns the entry's controls and the operations
// that set and clear them; others read and write the entry as one TodayEntry value. The
// buttons' commands are wired by the main window.
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

    // Today's entry as the tab shows it now.
    TodayEntry entry() const;
    // The entry without its body text (left empty), for a reader that takes the body itself,
    // in slices, from bodyDocument().
    TodayEntry entryWithoutBody() const;
    // Shows the entry: every field as it stands, the title bar, the body and whether the body
    // counts as modified.
    void restore(const TodayEntry& entry);
    // Keeps the title and shows "タイトル： title" in the bar above the body; an empty title
    // hides the bar and leaves its caption as it was.
    void setTitle(const QString& title);

    // The body's editor, for the commands that act on the editor in front (undo, tags, find,
    // font, focus), and its document.
    QPlainTextEdit* bodyEditor() const { return TodayMemo; }
    QTextDocument* bodyDocument() const;
    // The find bar under the body, made when first asked for.
    FindBar* findBar();

    // The hidden work area where an export or the automatic line breaks compose their text.
    void setWorkText(const QString& crlfText);
    QString workText() const;

    // The tab's buttons, whose commands the main window wires.
    QAbstractButton* deleteButton() const;
    QAbstractButton* addTitleButton() const;
    QAbstractButton* breakButton() const;
    QAbstractButton* hintButton() const;

signals:
    // Any part of the entry changed: a date field, the weekday or weather box, the title, the
    // body or whether it counts as modified.
    void entryChanged();

private:
    QLayout* createDateRow();
    QLayout* createToolRow();
    void createEditors();
    void signalChanges();

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
    FindBar* TodayFindBar = nullptr;

    MainState& state_;
    Clock& clock_;
};
