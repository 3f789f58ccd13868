#include "document/THistoryForm.h"

THistoryForm::THistoryForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("THistoryForm"));
    setWindowTitle(QStringLiteral("ファイル履歴から開く"));
    setModal(true);
}
