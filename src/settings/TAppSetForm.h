#pragma once

#include "platform/Controls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class UpDown;
struct MainState;

// The application settings window ("動作設定 - Pelmora"): the font of the two editors and the
// two guidance switches. Each showing loads the controls from the editors' font and the flags;
// OK applies them to both editors and to NewProcessFlag and FirstPageChangeFlag, Cancel and
// the close box change nothing. The font reaches the settings store at close, from TodayMemo.
class TAppSetForm : public FormDialog {
    Q_OBJECT
public:
    TAppSetForm(MainState& state, QPlainTextEdit* todayMemo, QPlainTextEdit* allMemo,
                QWidget* parent = nullptr);

    void FormShow() override;
    // The size text corrected when the focus leaves it: below 5 or not a number gives "5",
    // 100 or more gives "99".
    void SizeEditExit();
    void BitBtn1Click();

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* SizeEdit;
    UpDown* UpDown1;
    QLabel* Label3;
    QLabel* Label4;
    QRadioButton* ProRadio;
    QRadioButton* TouhabaRadio;
    QGroupBox* GroupBox2;
    QLabel* Label5;
    QLabel* Label6;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* createFontGroup();
    QGroupBox* createDialogGroup();
    QDialogButtonBox* createButtons();

    MainState& state_;
    QPlainTextEdit* todayMemo_;
    QPlainTextEdit* allMemo_;
};
