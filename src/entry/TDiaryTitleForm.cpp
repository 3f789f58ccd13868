#include "entry/TDiaryTitleForm.h"

TDiaryTitleForm::TDiaryTitleForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDiaryTitleForm"));
    setWindowTitle(QStringLiteral("今日の日記のタイトル"));
    setModal(true);
}
