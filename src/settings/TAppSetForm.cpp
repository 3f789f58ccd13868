#include "settings/TAppSetForm.h"

TAppSetForm::TAppSetForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TAppSetForm"));
    setWindowTitle(QStringLiteral("動作設定 - Pelmora"));
    setModal(true);
}
