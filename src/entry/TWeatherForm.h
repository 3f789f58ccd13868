#pragma once

#include "platform/Controls.h"

#include <functional>

class Messages;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SystemInfo;
struct HtmlSettings;

// The fragment each list colour of the weather colour window writes (0 晴れ, 1 くもり, 2 雨,
// 3 雪), and the list colour the window starts every showing with.
QString weatherListColour(const HtmlSettings& html, int index);
inline constexpr int startingWeatherColour = 0;

// The modal window shown in the middle of an insertion when the weather was typed rather than
// chosen ("天気の色設定"): the writer picks the colour fragment that goes before the typed
// weather, or types a colour. OK gives back that one text for the diary; the close box gives
// nothing. It reads the typed weather of the first tab and the HTML settings and keeps the
// typed colour between showings.
class TWeatherForm : public FormDialog {
    Q_OBJECT
public:
    TWeatherForm(const HtmlSettings& html, std::function<QString()> typedWeather,
                 Messages& messages, SystemInfo& system, QWidget* parent = nullptr);

    // Shows the window modally and gives back the text to write before the typed weather:
    // empty when the window was closed without OK.
    QString askColour();
    // What OK chose in the showing that is open or last closed; empty until OK. The program takes
    // it from askColour(); the tests read it after driving the window themselves.
    const QString& chosenColour() const { return chosen_; }

    // Each showing: the typed weather, the first list colour, the question sound.
    void FormShow() override;
    // Enables OK exactly while ColorEdit holds text.
    void ColorEditChange();
    // The typed colour is chosen: RB0 checked, the field white and focused.
    void ColorEditEnter();
    // A list colour is chosen: the field grey, OK enabled.
    void RB1Click();
    // OK: keeps the chosen colour text and closes; refuses an empty typed colour.
    void ReturnButtonClick();

    QLabel* Image1;
    QLineEdit* WeatherEdit;
    QGroupBox* GroupBox1;
    QRadioButton* RB1;
    QRadioButton* RB2;
    QRadioButton* RB3;
    QRadioButton* RB4;
    QRadioButton* RB0;
    QLineEdit* ColorEdit;
    QPushButton* ReturnButton;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* createHeader();
    QGroupBox* createColourList();
    // The field in the button-face colour while a list colour is chosen, else the window colour.
    void setColorEditGrey(bool grey);
    // RB1 to RB4, in the order of weatherListColour.
    QRadioButton* listRadio(int index) const;

    const HtmlSettings& html_;
    std::function<QString()> typedWeather_;
    Messages& messages_;
    SystemInfo& system_;
    QString chosen_;
};
