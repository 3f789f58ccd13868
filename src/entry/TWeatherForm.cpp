#include "entry/TWeatherForm.h"

TWeatherForm::TWeatherForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TWeatherForm"));
    setWindowTitle(QStringLiteral("天気の色設定"));
    setModal(true);
}
