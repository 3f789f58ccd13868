#include "app/TExpForm.h"

TExpForm::TExpForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TExpForm"));
    setWindowTitle(QStringLiteral("初回説明 - Pelmora"));
    setModal(true);
}
