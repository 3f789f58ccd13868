#include "entry/TDiaryTitleForm.h"

#include "platform/Controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <limits>

TDiaryTitleForm::TDiaryTitleForm(const QString& todayTitle,
                                 std::function<void(const QString&)> setTitle, QWidget* parent)
    : FormDialog(parent), todayTitle_(todayTitle), setTitle_(std::move(setTitle))
{
    setObjectName(QStringLiteral("TDiaryTitleForm"));
    setWindowTitle(QStringLiteral("今日の日記のタイトル"));
    setModal(true);

    const QString prompt = QStringLiteral("今日の日記のタイトルを入力して下さい。");
    GroupBox1 = makeCaptioned<QGroupBox>("GroupBox1", prompt, this);
    TitleEdit = new QLineEdit(GroupBox1);
    TitleEdit->setObjectName(QStringLiteral("TitleEdit"));
    TitleEdit->setAccessibleName(prompt);
    TitleEdit->setMaxLength(std::numeric_limits<int>::max()); // no limit of its own
    TitleEdit->setMinimumWidth(TitleEdit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 60);
    Label1 = new QLabel(
        QStringLiteral("文字数制限はありませんが、半角換算128文字以内を目安にして下さい。"),
        GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* group = new QVBoxLayout(GroupBox1);
    group->addWidget(TitleEdit);
    group->addWidget(Label1);

    BitBtn1 = makeButton("BitBtn1", QStringLiteral("OK"), QString(), this);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setDefault(true); // Enter presses OK; Esc is the dialog's own Cancel
    BitBtn2 = makeButton("BitBtn2", QStringLiteral("Cancel"), QString(), this);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    auto* buttons = makeButtonBox(
        {{BitBtn1, QDialogButtonBox::AcceptRole}, {BitBtn2, QDialogButtonBox::RejectRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(GroupBox1);
    layout->addWidget(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TDiaryTitleForm::FormShow()
{
    TitleEdit->setFocus();
    TitleEdit->setText(todayTitle_);
}

void TDiaryTitleForm::BitBtn1Click()
{
    setTitle_(TitleEdit->text()); // blanks count: a title of blanks is a title
}
