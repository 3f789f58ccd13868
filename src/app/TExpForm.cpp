#include "app/TExpForm.h"

#include "core/MainState.h"
#include "platform/Controls.h"
#include "platform/SystemInfo.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int stepIndent = 16;
constexpr int imageSize = 32;

} // namespace

TExpForm::TExpForm(FirstPageChange& firstPageChangeFlag, SystemInfo& system, QWidget* parent)
    : FormDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                             | Qt::WindowCloseButtonHint),
      firstPageChangeFlag_(firstPageChangeFlag), system_(system)
{
    setObjectName(QStringLiteral("TExpForm"));
    setWindowTitle(QStringLiteral("初回説明 - Pelmora"));
    setModal(true);

    Image1 = makePictureLabel("Image1", QStyle::SP_MessageBoxInformation, imageSize, this);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    Image1->setAccessibleName(QStringLiteral("情報"));

    Label1 = makeLabel("Label1", QStringLiteral("次の要領でご使用下さい。"), this);
    Label2 =
        makeLabel("Label2",
                  QStringLiteral(
                      "１．日記用ＨＴＭＬファイルを読み込みます。（なければ新規作成して下さい。）"),
                  this);
    Label3 = makeLabel(
        "Label3",
        QStringLiteral("２．HTML化した「今日の日記」を挿入したい場所にカーソルを移動します。"),
        this);
    Label4 = makeLabel(
        "Label4", QStringLiteral("３．「カーソル位置に今日の日記を挿入」ボタンをクリックします。"),
        this);
    Label5 = makeLabel(
        "Label5",
        QStringLiteral(
            "以上の操作で、「今日の日記編集」での内容が、HTMLコードと一緒に挿入されます。"),
        this);
    Label6 =
        makeLabel("Label6", QStringLiteral("編集後は、「保存」ボタンで保存して下さい。"), this);

    CheckBox = new QCheckBox(QStringLiteral("二度と表示しない。(&N)"), this);
    nameControl(CheckBox, CheckBox->text());
    CheckBox->setObjectName(QStringLiteral("CheckBox"));

    Button1 = makeButton("Button1", QStringLiteral("OK"), QString(), this);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TExpForm::Button1Click);

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    for (QLabel* step : {Label2, Label3, Label4}) {
        auto* row = new QHBoxLayout;
        row->addSpacing(stepIndent);
        row->addWidget(step);
        texts->addLayout(row);
    }
    texts->addSpacing(6);
    texts->addWidget(Label5);
    texts->addWidget(Label6);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addSpacing(8);
    top->addLayout(texts, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CheckBox);
    bottom->addWidget(makeButtonBox({{Button1, QDialogButtonBox::AcceptRole}}, this), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TExpForm::FormShow()
{
    system_.playSound(SystemSound::Information);
}

void TExpForm::Button1Click()
{
    if (CheckBox->isChecked())
        firstPageChangeFlag_ = FirstPageChange::Never;
    accept();
}
