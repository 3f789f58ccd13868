#pragma once

#include "platform/Controls.h"

class QCheckBox;
class QLabel;
class QPushButton;
class SystemInfo;
enum class FirstPageChange;

// The explanation window ("初回説明 - Pelmora"): the three steps that put today's entry into the
// diary document. Its one door to the rest of the program is FirstPageChangeFlag: OK with
// "二度と表示しない。(&N)" ticked sets it to never show the window; closing the window any other
// way changes nothing. The box keeps its state between showings.
class TExpForm : public FormDialog {
    Q_OBJECT
public:
    TExpForm(FirstPageChange& firstPageChangeFlag, SystemInfo& system, QWidget* parent = nullptr);

    void Button1Click();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QCheckBox* CheckBox;
    QPushButton* Button1;

private:
    // Every showing sounds the information chime.
    void FormShow() override;

    FirstPageChange& firstPageChangeFlag_;
    SystemInfo& system_;
};
