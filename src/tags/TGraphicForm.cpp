#include "tags/TGraphicForm.h"

#include "core/AppInfo.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "tags/FormParts.h"
#include "tags/TagTexts.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Sizes are digits typed straight in: no input method in between.
void withoutInputMethod(QLineEdit* edit)
{
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
}

QLayout* guidanceLines(std::initializer_list<QString> lines, QWidget* parent)
{
    auto* layout = new QVBoxLayout;
    for (const QString& line : lines)
        layout->addWidget(tags::guidance(line, parent));
    layout->addStretch(1);
    return layout;
}

} // namespace

TGraphicForm::TGraphicForm(QWidget* parent) : FormDialog(parent, {}, Placement::AsIs)
{
    setObjectName(QStringLiteral("TGraphicForm"));
    setWindowTitle(QStringLiteral("画像指定タグ挿入"));
    setModal(true);

    GroupBox1 = makeCaptioned<QGroupBox>("GroupBox1", QStringLiteral("画像指定情報の入力"), this);

    GraphicFileEdit = tags::fieldEdit("GraphicFileEdit", 36, GroupBox1);
    GraphicFileEdit->setToolTip(
        QStringLiteral("ファイル名の指定は、大文字・小文字に注意して正しく入力して下さい。"));
    HeightEdit = tags::fieldEdit("HeightEdit", 8, GroupBox1);
    HeightEdit->setToolTip(QStringLiteral("縦のサイズをピクセル単位で入力。"));
    withoutInputMethod(HeightEdit);
    WidthEdit = tags::fieldEdit("WidthEdit", 8, GroupBox1);
    WidthEdit->setToolTip(QStringLiteral("横のサイズをピクセル単位で入力。"));
    withoutInputMethod(WidthEdit);
    TextEdit = tags::fieldEdit("TextEdit", 36, GroupBox1);
    TextEdit->setToolTip(QStringLiteral("画像の説明などを入れておくのが普通です。"));

    // One grid, so the labels line up: file name, the two sizes with their guidance beside
    // them, the alternative text.
    auto* fields = new QGridLayout;
    tags::addLabelled(fields, 0, QStringLiteral("画像ファイル名(&F)："), GraphicFileEdit, 2);
    tags::addLabelled(fields, 1, QStringLiteral("画像サイズ[縦](&H)："), HeightEdit);
    tags::addLabelled(fields, 2, QStringLiteral("画像サイズ[横](&W)："), WidthEdit);
    fields->addLayout(guidanceLines({QStringLiteral("画像ファイルのサイズは、できるだけ入力"),
                                     QStringLiteral("することをお勧めします。")},
                                    GroupBox1),
                      1, 2, 2, 1);
    tags::addLabelled(fields, 3, QStringLiteral("代替テキスト(&T)："), TextEdit, 2);
    fields->setColumnStretch(2, 1);

    AlignPanel = new QFrame(GroupBox1);
    AlignPanel->setObjectName(QStringLiteral("AlignPanel"));
    AlignPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto radio = [this](const char* name, const QString& caption, const QString& hint) {
        auto* button = new QRadioButton(caption, AlignPanel);
        button->setObjectName(QLatin1String(name));
        nameControl(button, caption);
        button->setToolTip(hint);
        return button;
    };
    RadioLeft = radio("RadioLeft", QStringLiteral("画像を左端に(&L)"),
                      QStringLiteral("画像を左に寄せて、文字を回り込ませます。"));
    RadioRight = radio("RadioRight", QStringLiteral("画像を右端に(&R)"),
                       QStringLiteral("画像を右に寄せて、文字を回り込ませます。"));
    RadioNone = radio("RadioNone", QStringLiteral("その場所(&N)"),
                      QStringLiteral("画像位置は指定せず、文字の回り込みも行いません。"));
    RadioNone->setChecked(true);
    alignGroup_ = new QButtonGroup(this);
    auto* radios = new QVBoxLayout(AlignPanel);
    for (QRadioButton* button : {RadioLeft, RadioRight, RadioNone}) {
        alignGroup_->addButton(button);
        radios->addWidget(button);
    }

    auto* placeRow = new QHBoxLayout;
    placeRow->addWidget(AlignPanel);
    placeRow->addSpacing(12);
    placeRow->addLayout(
        guidanceLines({QStringLiteral("代替テキストは、画像ファイルが表示されなかった場合や"),
                       QStringLiteral("画像を非表示に設定している場合に、画像の代わりに表示"),
                       QStringLiteral("される文字です。（できるだけ書くようにしましょう。）")},
                      GroupBox1));
    placeRow->addStretch(1);

    auto* group = new QVBoxLayout(GroupBox1);
    group->addLayout(fields);
    group->addLayout(placeRow);

    BitBtn1 = tags::plainButton("BitBtn1", QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = tags::plainButton("BitBtn2", QStringLiteral("Cancel"), this);
    auto* buttons = makeButtonBox(
        {{BitBtn1, QDialogButtonBox::AcceptRole}, {BitBtn2, QDialogButtonBox::RejectRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(GroupBox1);
    layout->addWidget(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &TGraphicForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TGraphicForm::askTag(Messages& messages)
{
    messages_ = &messages;
    const bool confirmed = exec() == QDialog::Accepted;
    messages_ = nullptr;
    if (!confirmed)
        return std::nullopt;
    return tagText_;
}

void TGraphicForm::FormShow()
{
    tagText_.clear();
    for (QLineEdit* edit : {GraphicFileEdit, HeightEdit, WidthEdit, TextEdit})
        edit->clear();
    RadioNone->setChecked(true);
    GraphicFileEdit->setFocus();
}

void TGraphicForm::BitBtn1Click()
{
    if (GraphicFileEdit->text().isEmpty()) {
        if (messages_)
            messages_->show({QStringLiteral("画像ファイル名が入力されていません。"), appTitle()});
        return;
    }
    tags::ImageFields fields;
    fields.file = GraphicFileEdit->text();
    fields.height = HeightEdit->text();
    fields.width = WidthEdit->text();
    fields.alt = TextEdit->text();
    if (RadioLeft->isChecked())
        fields.align = tags::ImageAlign::Left;
    else if (RadioRight->isChecked())
        fields.align = tags::ImageAlign::Right;
    tagText_ = tags::imageTag(fields);
    accept();
}
