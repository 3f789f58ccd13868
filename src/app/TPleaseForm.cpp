#include "app/TPleaseForm.h"

TPleaseForm::TPleaseForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPleaseForm"));
    setWindowTitle(QStringLiteral("ユーザ公開日記リンク"));
    setModal(true);
}
