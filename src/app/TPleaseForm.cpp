#include "app/TPleaseForm.h"

#include "app/AboutInfo.h"
#include "platform/Clipboard.h"
#include "platform/Controls.h"
#include "platform/InstallDirs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int imageSize = 32;

} // namespace

TPleaseForm::TPleaseForm(const QString& programFolder, Clipboard& clipboard, Files& files,
                         QWidget* parent)
    : FormDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                             | Qt::WindowCloseButtonHint),
      programFolder_(programFolder), clipboard_(clipboard), files_(files)
{
    setObjectName(QStringLiteral("TPleaseForm"));
    setWindowTitle(QStringLiteral("ユーザ公開日記リンク"));
    setModal(true);

    Image1 = makePictureLabel("Image1", QStyle::SP_FileDialogInfoView, imageSize, this);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = makeLabel(
        "Label1", QStringLiteral("ユーザーの方々の公開日記へのリンクは、まだありません。"), this);
    Label2 = makeLabel(
        "Label2",
        QStringLiteral(
            "Pelmora についての詳しい情報は、プログラムと一緒にある説明書（README）をご覧下さい。"),
        this);
    ReadmeLabel = makeLabel("ReadmeLabel", QString(), this);
    ReadmeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    describeDisplay(ReadmeLabel, QStringLiteral("説明書（README）の場所"));

    ReadmeCopyBtn =
        makeButton("ReadmeCopyBtn", QStringLiteral("場所をコピー(&C)"),
                   QStringLiteral("説明書（README）の場所をクリップボードにコピーします。"), this);
    connect(ReadmeCopyBtn, &QPushButton::clicked, this,
            [this] { clipboard_.setText(ReadmeLabel->text()); });
    OKBtn = makeButton("OKBtn", QStringLiteral("OK"), QString(), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* place = new QHBoxLayout;
    place->addWidget(ReadmeLabel, 1);
    place->addWidget(ReadmeCopyBtn);

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addSpacing(6);
    texts->addWidget(Label2);
    texts->addLayout(place);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addSpacing(8);
    top->addLayout(texts, 1);

    auto* buttons = makeButtonBox({{OKBtn, QDialogButtonBox::AcceptRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPleaseForm::FormShow()
{
    ReadmeLabel->setText(about::readmePath(files_, programFolder_, installedDocFolder()));
}
