#include "app/THelpVerForm.h"

#include "app/AboutInfo.h"
#include "core/AppInfo.h"
#include "platform/Clipboard.h"
#include "platform/Controls.h"
#include "platform/InstallDirs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <tuple>

namespace {

constexpr int imageSize = 32;

QLabel* valueLabel(const char* name, const QString& what, QWidget* parent)
{
    auto* label = makeLabel(name, QString(), parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    describeDisplay(label, what);
    return label;
}

} // namespace

THelpVerForm::THelpVerForm(const QString& programFolder, const QString& workFolder,
                           Clipboard& clipboard, Files& files, QWidget* parent)
    : FormDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                             | Qt::WindowCloseButtonHint),
      programFolder_(programFolder), workFolder_(workFolder), clipboard_(clipboard), files_(files)
{
    setObjectName(QStringLiteral("THelpVerForm"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);

    Image1 = makePictureLabel("Image1", QStyle::SP_ComputerIcon, imageSize, this);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    VersionLabel = valueLabel("VersionLabel", QStringLiteral("バージョン"), this);
    VersionLabel->setText(mainWindowCaption());
    QFont large = VersionLabel->font();
    large.setBold(true);
    large.setPointSize(large.pointSize() + 2);
    VersionLabel->setFont(large);
    SystemLabel = valueLabel("SystemLabel", QStringLiteral("OS"), this);
    MemoryLabel = valueLabel("MemoryLabel", QStringLiteral("搭載メモリ"), this);
    FolderLabel = valueLabel("FolderLabel", QStringLiteral("プログラムの場所"), this);
    ReadmeLabel = valueLabel("ReadmeLabel", QStringLiteral("説明書（README）"), this);
    WorkFolderLabel = valueLabel("WorkFolderLabel", QStringLiteral("ベースHTMLの場所"), this);

    auto copyButton = [this](const char* name, QLabel* value, const QString& what) {
        QPushButton* button =
            makeButton(name, QStringLiteral("コピー"),
                       what + QStringLiteral("をクリップボードにコピーします。"), this);
        button->setAccessibleName(what + QStringLiteral("をコピー"));
        connect(button, &QPushButton::clicked, this,
                [this, value] { clipboard_.setText(value->text()); });
        return button;
    };
    VersionCopyBtn = copyButton("VersionCopyBtn", VersionLabel, QStringLiteral("バージョン"));
    SystemCopyBtn = copyButton("SystemCopyBtn", SystemLabel, QStringLiteral("OS"));
    MemoryCopyBtn = copyButton("MemoryCopyBtn", MemoryLabel, QStringLiteral("搭載メモリ"));
    FolderCopyBtn = copyButton("FolderCopyBtn", FolderLabel, QStringLiteral("プログラムの場所"));
    ReadmeCopyBtn = copyButton("ReadmeCopyBtn", ReadmeLabel, QStringLiteral("説明書（README）"));
    WorkFolderCopyBtn =
        copyButton("WorkFolderCopyBtn", WorkFolderLabel, QStringLiteral("ベースHTMLの場所"));

    OKBtn = makeButton("OKBtn", QStringLiteral("OK"), QString(), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    const std::tuple<QString, QLabel*, QPushButton*> rows[] = {
        {QString(), VersionLabel, VersionCopyBtn},
        {QStringLiteral("OS："), SystemLabel, SystemCopyBtn},
        {QStringLiteral("搭載メモリ："), MemoryLabel, MemoryCopyBtn},
        {QStringLiteral("プログラムの場所："), FolderLabel, FolderCopyBtn},
        {QStringLiteral("説明書（README）："), ReadmeLabel, ReadmeCopyBtn},
        {QStringLiteral("ベースHTMLの場所："), WorkFolderLabel, WorkFolderCopyBtn}};
    int row = 0;
    for (const auto& [caption, value, button] : rows) {
        if (!caption.isEmpty())
            grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(value, row, caption.isEmpty() ? 0 : 1, 1, caption.isEmpty() ? 2 : 1);
        grid->addWidget(button, row, 2);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addSpacing(8);
    top->addLayout(grid, 1);

    auto* buttons = makeButtonBox({{OKBtn, QDialogButtonBox::AcceptRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void THelpVerForm::FormShow()
{
    SystemLabel->setText(about::systemText());
    MemoryLabel->setText(about::memoryText(about::installedMemory()));
    FolderLabel->setText(programFolder_);
    ReadmeLabel->setText(about::readmePath(files_, programFolder_, installedDocFolder()));
    WorkFolderLabel->setText(workFolder_);
}
