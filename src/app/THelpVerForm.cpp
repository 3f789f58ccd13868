#include "app/THelpVerForm.h"

THelpVerForm::THelpVerForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("THelpVerForm"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);
}
