#pragma once

#include "platform/Controls.h"

#include <QList>

#include <utility>

class Messages;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
struct HtmlSettings;

// The modal window for the HTML settings ("日記HTML設定"). It edits the main window's settings
// through the two references it is given: OK writes the fields back, Default resets the
// settings at once, Cancel leaves them as they were. Created once; keeps the tab last shown.
class THtmlForm : public FormDialog {
    Q_OBJECT
signals:
    // OK or Default changed the settings (perhaps to what they were).
    void htmlSettingsChanged();

public:
    THtmlForm(HtmlSettings& html, bool& newProcessFlag, Messages& messages,
              QWidget* parent = nullptr);

    // Loads every control from the settings; runs each time the window is shown.
    void ShowHtmlSettings();
    // The sample date line in PreviewPanel1, from the date style and weekday controls.
    void UpdatePreview();

    // OK: the twelve fields and the five switches into the settings, as they stand.
    void BitBtn1Click();
    // Default: asks, then puts every fragment and switch back to its default.
    void Button1Click();
    void WeekViewCheckClick();
    void DateTypeRadio1Click();
    void DateTypeRadio2Click();
    void WeekLangRadio1Click();
    void WeekLangRadio2Click();

    QTabWidget* PageControl1;
    // Date tab
    QGroupBox* GroupBox1;
    QLineEdit* DateStartEdit;
    QLineEdit* DateEndEdit;
    QGroupBox* GroupBox2;
    QRadioButton* DateTypeRadio1;
    QRadioButton* DateTypeRadio2;
    QGroupBox* GroupBox3;
    QCheckBox* WeekViewCheck;
    QRadioButton* WeekLangRadio1;
    QRadioButton* WeekLangRadio2;
    QLabel* PreviewPanel1;
    // Weather tab
    QGroupBox* GroupBox4;
    QLineEdit* wsEdit;
    QLineEdit* wcEdit;
    QLineEdit* wrEdit;
    QLineEdit* wsnowEdit;
    QLineEdit* woEdit;
    QLineEdit* weEdit;
    // Title tab
    QGroupBox* GroupBox5;
    QLineEdit* tsEdit;
    QLineEdit* teEdit;
    // Body tab
    QGroupBox* GroupBox6;
    QLineEdit* dsEdit;
    QLineEdit* deEdit;
    QGroupBox* GroupBox7;
    QCheckBox* AfterDiaryCheck;
    QCheckBox* InsertBRCheck;
    // Buttons
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* Button1;

private:
    // Every showing loads the controls from the settings.
    void FormShow() override;
    QWidget* createDateTab();
    QWidget* createWeatherTab();
    QWidget* createTitleTab();
    QWidget* createBodyTab();
    QDialogButtonBox* createButtons();
    // Each edit field with the fragment it edits.
    QList<std::pair<QLineEdit*, QString HtmlSettings::*>> fragmentFields() const;

    HtmlSettings& html_;
    bool& newProcessFlag_;
    Messages& messages_;
    QButtonGroup* dateTypeGroup_;
    QButtonGroup* weekLangGroup_;
};
