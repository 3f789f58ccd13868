#pragma once

#include "platform/Controls.h"

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modal window for the title of today's entry ("今日の日記のタイトル"). Its one door into
// the main window: the title it shows (TodayTitle) and the setter that OK gives the new title
// to, which keeps it and shows or hides the first tab's title bar. Cancel changes nothing.
class TDiaryTitleForm : public FormDialog {
    Q_OBJECT
public:
    TDiaryTitleForm(const QString& todayTitle, std::function<void(const QString&)> setTitle,
                    QWidget* parent = nullptr);

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
    const QString& todayTitle_;
    std::function<void(const QString&)> setTitle_;
};
