#include "entry/THtmlForm.h"

THtmlForm::THtmlForm(HtmlSettings&, QChar&, Messages&, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("THtmlForm"));
    setWindowTitle(QStringLiteral("日記HTML設定"));
    setModal(true);
}
