#include "tags/TGraphicForm.h"

TGraphicForm::TGraphicForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TGraphicForm"));
    setWindowTitle(QStringLiteral("画像指定タグ挿入"));
    setModal(true);
}
