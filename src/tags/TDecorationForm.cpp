#include "tags/TDecorationForm.h"

TDecorationForm::TDecorationForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDecorationForm"));
    setWindowTitle(QStringLiteral("文字装飾"));
    setModal(true);
}
