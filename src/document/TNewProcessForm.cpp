#include "document/TNewProcessForm.h"

TNewProcessForm::TNewProcessForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TNewProcessForm"));
    setWindowTitle(QStringLiteral("新規作成 - ベースHTML（ひな形）ファイルの読み込み選択"));
    setModal(true);
}
