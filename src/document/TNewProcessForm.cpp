#include "document/TNewProcessForm.h"

#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryText.h"
#include "platform/Controls.h"
#include "platform/EditorText.h"
#include "platform/ErrorMessages.h"
#include "platform/SystemInfo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int previewWidth = 260;
constexpr int previewHeight = 110;
constexpr int previewFontSize = 8;

} // namespace

TNewProcessForm::TNewProcessForm(DiaryDocument& document, QWidget* parent)
    : FormDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                             | Qt::WindowCloseButtonHint),
      document_(document)
{
    setObjectName(QStringLiteral("TNewProcessForm"));
    setWindowTitle(QStringLiteral("新規作成 - ベースHTML（ひな形）ファイルの読み込み選択"));
    setModal(true);

    Image1 = makePictureLabel("Image1", QStyle::SP_FileDialogNewFolder, 32, this);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    Label1 = makeLabel("Label1",
                       QStringLiteral("日記ＨＴＭＬの新規作成用 「ベースHTMLファイル」が"), this);
    Label2 = makeLabel("Label2", QStringLiteral("存在します。（右記参照）"), this);
    Label3 = makeLabel("Label3", QStringLiteral("ベースHTMLファイルを読み込みますか？"), this);

    SampleMemo = makeMemo("SampleMemo", QStringLiteral("ベースHTMLファイルの内容"), this);
    SampleMemo->setReadOnly(true);
    SampleMemo->setToolTip(
        QStringLiteral("ベースHTMLファイルの内容です。実体は、basehtml.txtファイルです。"));
    SampleMemo->setBackgroundRole(QPalette::Button);
    QPalette palette = SampleMemo->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    SampleMemo->setPalette(palette);
    QFont small = SampleMemo->font();
    small.setPointSize(previewFontSize);
    SampleMemo->setFont(small);
    SampleMemo->setFixedSize(previewWidth, previewHeight);
    setEditorText(SampleMemo, QStringLiteral("Base HTML File\r\nPreview Area."));

    CheckBox = new QCheckBox(QStringLiteral("二度と表示しない。(&N)"), this);
    nameControl(CheckBox, CheckBox->text());
    CheckBox->setObjectName(QStringLiteral("CheckBox"));
    CheckBox->setToolTip(
        QStringLiteral("ここをチェックすると、次回から、無条件に、ベースHTMLを読み込みます。"));

    OkButton = makeButton("OkButton", QStringLiteral("読み込む(&R)"), QString(), this);
    OkButton->setAutoDefault(true);
    OkButton->setDefault(true);
    NoButton = makeButton("NoButton", QStringLiteral("読み込まない(&C)"), QString(), this);
    connect(OkButton, &QPushButton::clicked, this, &TNewProcessForm::OkButtonClick);
    connect(NoButton, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects as well

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addSpacing(8);
    texts->addWidget(Label3);
    texts->addStretch(1);
    texts->addWidget(CheckBox);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addLayout(texts);
    top->addWidget(SampleMemo);

    auto* buttons = makeButtonBox(
        {{OkButton, QDialogButtonBox::AcceptRole}, {NoButton, QDialogButtonBox::RejectRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TNewProcessForm::FormShow()
{
    adjustSize();
    document_.platform().system.playSound(SystemSound::Question);
    // A template that cannot be read is reported; the window still offers both choices.
    run([this] {
        const QString path = document_.templatePath();
        setEditorText(SampleMemo, document::readDiaryText(document_.platform().files, path));
    });
}

void TNewProcessForm::OkButtonClick()
{
    if (run([this] { document_.Load(document_.templatePath()); }))
        accept();
}

// An unticked box changes nothing: it never turns the question back on.
void TNewProcessForm::done(int result)
{
    if (CheckBox->isChecked())
        document_.state().NewProcessFlag = false;
    QDialog::done(result);
}

bool TNewProcessForm::run(const std::function<void()>& step)
{
    return errorMessages(document_.platform().messages).run(step);
}
