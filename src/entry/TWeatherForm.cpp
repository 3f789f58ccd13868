#include "entry/TWeatherForm.h"

#include "core/AppInfo.h"
#include "entry/HtmlSettings.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "platform/SystemInfo.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

QString weatherListColour(const HtmlSettings& html, int index)
{
    const QString* fragments[] = {&html.HtmlSky1, &html.HtmlSky2, &html.HtmlSky3, &html.HtmlSky5};
    return *fragments[index];
}

TWeatherForm::TWeatherForm(const HtmlSettings& html, std::function<QString()> typedWeather,
                           Messages& messages, SystemInfo& system, QWidget* parent)
    : FormDialog(parent), html_(html), typedWeather_(std::move(typedWeather)), messages_(messages),
      system_(system)
{
    setObjectName(QStringLiteral("TWeatherForm"));
    setWindowTitle(QStringLiteral("天気の色設定"));
    setModal(true);

    ReturnButton = makeButton("ReturnButton", QStringLiteral("OK"), QString(), this);
    ReturnButton->setDefault(true);
    auto* buttons = makeButtonBox({{ReturnButton, QDialogButtonBox::AcceptRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(createHeader());
    layout->addWidget(createColourList());
    layout->addWidget(buttons);

    for (QRadioButton* listColour : {RB1, RB2, RB3, RB4}) {
        connect(listColour, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                RB1Click();
        });
    }
    connect(RB0, &QRadioButton::clicked, this, &TWeatherForm::ColorEditEnter);
    connect(ColorEdit, &QLineEdit::textChanged, this, &TWeatherForm::ColorEditChange);
    ColorEdit->installEventFilter(this);
    connect(ReturnButton, &QPushButton::clicked, this, &TWeatherForm::ReturnButtonClick);
}

QLayout* TWeatherForm::createHeader()
{
    Image1 = makePictureLabel("Image1", QStyle::SP_MessageBoxQuestion, 32, this);
    Image1->setAlignment(Qt::AlignTop);
    auto* note = new QLabel(QStringLiteral("天気欄に、リスト外の文字が入力されています。\n"
                                           "表示する際の、色を選択して下さい。"),
                            this);
    note->setObjectName(QStringLiteral("Label1"));

    auto* label = new QLabel(QStringLiteral("入力文字："), this);
    WeatherEdit = new QLineEdit(this);
    WeatherEdit->setObjectName(QStringLiteral("WeatherEdit"));
    WeatherEdit->setReadOnly(true);
    WeatherEdit->setFocusPolicy(Qt::NoFocus); // skipped by Tab
    QPalette grey = WeatherEdit->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Button));
    WeatherEdit->setPalette(grey);
    label->setBuddy(WeatherEdit);
    nameControl(WeatherEdit, label->text());
    auto* typed = new QHBoxLayout;
    typed->addWidget(label);
    typed->addWidget(WeatherEdit, 1);

    auto* text = new QVBoxLayout;
    text->addWidget(note);
    text->addLayout(typed);
    auto* header = new QHBoxLayout;
    header->addWidget(Image1);
    header->addLayout(text, 1);
    return header;
}

QGroupBox* TWeatherForm::createColourList()
{
    GroupBox1 = makeCaptioned<QGroupBox>("GroupBox1", QStringLiteral("色リスト"), this);

    RB1 = makeCaptioned<QRadioButton>("RB1", QStringLiteral("「晴れ」の色(&L)"), GroupBox1);
    RB2 = makeCaptioned<QRadioButton>("RB2", QStringLiteral("「くもり」の色(&C)"), GroupBox1);
    RB3 = makeCaptioned<QRadioButton>("RB3", QStringLiteral("「雨」の色(&R)"), GroupBox1);
    RB4 = makeCaptioned<QRadioButton>("RB4", QStringLiteral("「雪」の色(&S)"), GroupBox1);
    RB0 = makeCaptioned<QRadioButton>("RB0", QStringLiteral("任意の色を指定(&T)："), GroupBox1);
    auto* radios = new QButtonGroup(this);
    for (QRadioButton* radio : {RB1, RB2, RB3, RB4, RB0})
        radios->addButton(radio);

    ColorEdit = new QLineEdit(QStringLiteral("black"), GroupBox1);
    ColorEdit->setObjectName(QStringLiteral("ColorEdit"));
    ColorEdit->setAccessibleName(QStringLiteral("任意の色"));
    ColorEdit->setMaxLength(20);
    ColorEdit->setToolTip(
        QStringLiteral("RGB値で指定する場合は、先頭に「#」を忘れずに付加して下さい。"));

    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(RB1, 0, 0);
    grid->addWidget(RB2, 0, 1);
    grid->addWidget(RB3, 1, 0);
    grid->addWidget(RB4, 1, 1);
    grid->addWidget(RB0, 2, 0);
    grid->addWidget(ColorEdit, 2, 1);
    return GroupBox1;
}

// Getting the focus chooses the typed colour, as clicking RB0 does; the window coming back to
// the front does not.
bool TWeatherForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ColorEdit && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            ColorEditEnter();
    }
    return QDialog::eventFilter(watched, event);
}

QString TWeatherForm::askColour()
{
    exec();
    return chosen_;
}

void TWeatherForm::FormShow()
{
    chosen_.clear();
    WeatherEdit->setText(typedWeather_());
    listRadio(startingWeatherColour)->setChecked(true);
    // Checking the starting colour runs its click handler only when it was not checked already;
    // either way the window opens on a list colour, grey field and OK enabled.
    RB1Click();
    // The first control that takes the focus must not be ColorEdit, or it would choose RB0.
    listRadio(startingWeatherColour)->setFocus();
    system_.playSound(SystemSound::Question);
}

QRadioButton* TWeatherForm::listRadio(int index) const
{
    QRadioButton* const radios[] = {RB1, RB2, RB3, RB4};
    return radios[index];
}

void TWeatherForm::setColorEditGrey(bool grey)
{
    QPalette colours = ColorEdit->palette();
    colours.setColor(QPalette::Base, palette().color(grey ? QPalette::Button : QPalette::Base));
    ColorEdit->setPalette(colours);
}

void TWeatherForm::ColorEditChange()
{
    ReturnButton->setEnabled(!ColorEdit->text().isEmpty());
}

void TWeatherForm::ColorEditEnter()
{
    setColorEditGrey(false);
    RB0->setChecked(true);
    ColorEditChange();
    ColorEdit->setFocus();
}

void TWeatherForm::RB1Click()
{
    setColorEditGrey(true);
    ReturnButton->setEnabled(true);
}

void TWeatherForm::ReturnButtonClick()
{
    for (int index = 0; index < 4; ++index) {
        if (listRadio(index)->isChecked())
            chosen_ = weatherListColour(html_, index);
    }
    if (RB0->isChecked()) {
        if (ColorEdit->text().isEmpty()) {
            messages_.show({QStringLiteral("Input Color RGB or Color Name in English."), appTitle(),
                            MsgButtons::Ok, MsgIcon::None, MsgAnswer::Ok});
            return;
        }
        chosen_ = QStringLiteral("<FONT COLOR=\"") + ColorEdit->text() + QStringLiteral("\">");
    }
    accept();
}
