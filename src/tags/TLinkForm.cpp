#include "tags/TLinkForm.h"

#include "core/AppInfo.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "tags/FormParts.h"
#include "tags/TagTexts.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TLinkForm::TLinkForm(QWidget* parent) : FormDialog(parent)
{
    setObjectName(QStringLiteral("TLinkForm"));
    setWindowTitle(QStringLiteral("リンクの設置"));
    setModal(true);

    GroupBox1 =
        makeCaptioned<QGroupBox>("GroupBox1", QStringLiteral("リンク先・リンク形態の指定"), this);

    LinkNameEdit = tags::fieldEdit("LinkNameEdit", 36, GroupBox1);
    LinkNameEdit->setToolTip(QStringLiteral("省略した場合は、URLを名称に指定します。"));
    LinkUrlEdit = tags::fieldEdit("LinkUrlEdit", 36, GroupBox1);
    auto* fields = new QGridLayout;
    tags::addLabelled(fields, 0, QStringLiteral("リンクの名称(&N)："), LinkNameEdit);
    tags::addLabelled(fields, 1, QStringLiteral("リンク先URL(&U)："), LinkUrlEdit);
    int row = 2;
    for (const QString& line :
         {QStringLiteral("リンク先は、「http://」で始まるアドレスでも構いませんし、"),
          QStringLiteral("通常のファイル名でも構いません。ファイル名を指定する"),
          QStringLiteral("場合は、大文字・小文字の区別に注意して下さい。")})
        fields->addWidget(tags::guidance(line, GroupBox1), row++, 1);

    auto* separator = new QFrame(GroupBox1);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    const QString checkCaption =
        QStringLiteral("リンク先を、新しいウインドウに表示するようにする。(&W)");
    WindowCheck = new QCheckBox(checkCaption, GroupBox1);
    WindowCheck->setObjectName(QStringLiteral("WindowCheck"));
    nameControl(WindowCheck, checkCaption);
    WindowCheck->setToolTip(QStringLiteral(
        "リンクをクリックしたときに、新しいウインドウを開いてそちらに表示するようにします。"));

    auto* group = new QVBoxLayout(GroupBox1);
    group->addLayout(fields);
    group->addWidget(separator);
    group->addWidget(WindowCheck);

    BitBtn1 = tags::plainButton("BitBtn1", QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = tags::plainButton("BitBtn2", QStringLiteral("Cancel"), this);
    auto* buttons = makeButtonBox(
        {{BitBtn1, QDialogButtonBox::AcceptRole}, {BitBtn2, QDialogButtonBox::RejectRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(GroupBox1);
    layout->addWidget(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &TLinkForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TLinkForm::askTag(const QString& selectionText, Messages& messages)
{
    selectionText_ = selectionText;
    messages_ = &messages;
    const bool confirmed = exec() == QDialog::Accepted;
    messages_ = nullptr;
    if (!confirmed)
        return std::nullopt;
    return tagText_;
}

void TLinkForm::FormShow()
{
    tagText_.clear();
    LinkNameEdit->setText(selectionText_);
    LinkNameEdit->setCursorPosition(0);
    LinkUrlEdit->clear();
    (LinkNameEdit->text().isEmpty() ? LinkNameEdit : LinkUrlEdit)->setFocus();
}

void TLinkForm::BitBtn1Click()
{
    if (LinkUrlEdit->text().isEmpty()) {
        if (messages_)
            messages_->show({QStringLiteral("リンク先が未入力です。"), appTitle()});
        LinkUrlEdit->setFocus();
        return;
    }
    tagText_ = tags::linkTag(LinkUrlEdit->text(), LinkNameEdit->text(), WindowCheck->isChecked());
    accept();
}
