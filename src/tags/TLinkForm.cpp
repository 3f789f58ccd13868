#include "tags/TLinkForm.h"

TLinkForm::TLinkForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TLinkForm"));
    setWindowTitle(QStringLiteral("リンクの設置"));
    setModal(true);
}
