#pragma once

#include "platform/Controls.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modal window for the title of today's entry ("今日の日記のタイトル"). Its one door into
// the main window: the title text it reads and writes (TodayTitle) and the title bar of the
// first tab (PanelDiaryTitle) it shows or hides. Cancel leaves both as they were.
class TDiaryTitleForm : public FormDialog {
    Q_OBJECT
public:
    TDiaryTitleForm(QString& todayTitle, QLabel* panelDiaryTitle, QWidget* parent = nullptr);

    // The field gets the current title and the keyboard focus; runs each time the window shows.
    void FormShow() override;
    // OK: the field, as typed, becomes the title; an empty one removes it.
    void BitBtn1Click();

    QGroupBox* GroupBox1;
    QLineEdit* TitleEdit;
    QLabel* Label1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    QString& todayTitle_;
    QLabel* panelDiaryTitle_;
};
