#include "settings/TAppSetForm.h"

#include "core/MainState.h"
#include "platform/Controls.h"
#include "platform/UpDown.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QValidator>

namespace {

const QString proportionalFace = QStringLiteral("ＭＳ Ｐゴシック");
const QString fixedPitchFace = QStringLiteral("ＭＳ ゴシック");

constexpr int smallestSize = 5;
constexpr int largestSize = 99;
constexpr int sizeWhenNotANumber = 10;

// The number the text gives, or `fallback` when it is not an integer.
int readInteger(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : fallback;
}

// The writer may type at most two characters. A longer size the program puts in (a size kept
// in the settings) is shown whole; QLineEdit::setMaxLength would cut it.
class AtMostTwoCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return input.size() <= 2 ? Acceptable : Invalid;
    }
};

} // namespace

TAppSetForm::TAppSetForm(MainState& state, QPlainTextEdit* todayMemo, QPlainTextEdit* allMemo,
                         QWidget* parent)
    : FormDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                             | Qt::WindowCloseButtonHint),
      state_(state), todayMemo_(todayMemo), allMemo_(allMemo)
{
    setObjectName(QStringLiteral("TAppSetForm"));
    setWindowTitle(QStringLiteral("動作設定 - Pelmora"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createFontGroup());
    layout->addWidget(createDialogGroup());
    layout->addWidget(createButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* TAppSetForm::createFontGroup()
{
    GroupBox1 =
        makeCaptioned<QGroupBox>("GroupBox1", QStringLiteral("編集領域表示フォント設定(&F)"), this);
    Label1 =
        makeLabel("Label1",
                  QStringLiteral(
                      "設定は、「今日の日記編集」と「日記ファイル全体編集」の両方に反映されます。"),
                  GroupBox1);
    Label2 = makeLabel("Label2", QStringLiteral("文字サイズ(&S)："), GroupBox1);
    SizeEdit = new QLineEdit(QStringLiteral("5"), GroupBox1);
    SizeEdit->setObjectName(QStringLiteral("SizeEdit"));
    nameControl(SizeEdit, Label2->text());
    SizeEdit->setValidator(new AtMostTwoCharacters(SizeEdit));
    SizeEdit->setFixedWidth(SizeEdit->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    // Only leaving the field corrects it: editingFinished would also come with Enter, and
    // Enter in the field presses OK with the text as it is.
    SizeEdit->installEventFilter(this);
    Label2->setBuddy(SizeEdit);
    UpDown1 = new UpDown(SizeEdit, smallestSize, largestSize, false, GroupBox1);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    Label3 = makeLabel("Label3", QStringLiteral("pt."), GroupBox1);
    Label4 = makeLabel("Label4", QStringLiteral("フォント指定："), GroupBox1);
    ProRadio = makeCaptioned<QRadioButton>(
        "ProRadio", QStringLiteral("プロポーショナルフォント(&P)"), GroupBox1);
    TouhabaRadio =
        makeCaptioned<QRadioButton>("TouhabaRadio", QStringLiteral("等幅フォント(&T)"), GroupBox1);

    auto* size = new QHBoxLayout;
    size->setSpacing(2);
    size->addWidget(Label2);
    size->addWidget(SizeEdit);
    size->addWidget(UpDown1);
    size->addSpacing(4);
    size->addWidget(Label3);
    size->addStretch(1);

    auto* face = new QHBoxLayout;
    face->addWidget(Label4);
    face->addWidget(ProRadio);
    face->addWidget(TouhabaRadio);
    face->addStretch(1);

    auto* group = new QVBoxLayout(GroupBox1);
    group->addWidget(Label1);
    group->addLayout(size);
    group->addLayout(face);
    return GroupBox1;
}

QGroupBox* TAppSetForm::createDialogGroup()
{
    GroupBox2 =
        makeCaptioned<QGroupBox>("GroupBox2", QStringLiteral("ダイアログ表示設定(&D)"), this);
    Label5 = makeLabel(
        "Label5",
        QStringLiteral("ダイアログの「二度と表示しない」チェックボックスで、非表示設定をした"),
        GroupBox2);
    Label6 =
        makeLabel("Label6", QStringLiteral("ダイアログを、再度表示する設定に戻すことができます。"),
                  GroupBox2);
    CheckBox1 = makeCaptioned<QCheckBox>(
        "CheckBox1",
        QStringLiteral("新規作成ボタンクリックで、ベースHTMLファイルの読み込み確認を表示。(&1)"),
        GroupBox2);
    CheckBox2 = makeCaptioned<QCheckBox>(
        "CheckBox2", QStringLiteral("「日記ファイル全体編集」へ移動した際に、操作手順を表示。(&2)"),
        GroupBox2);

    auto* group = new QVBoxLayout(GroupBox2);
    group->setSpacing(2);
    group->addWidget(Label5);
    group->addWidget(Label6);
    group->addSpacing(6);
    group->addWidget(CheckBox1);
    group->addWidget(CheckBox2);
    return GroupBox2;
}

QDialogButtonBox* TAppSetForm::createButtons()
{
    BitBtn1 = makeButton("BitBtn1", QStringLiteral("OK"), QString(), this);
    BitBtn1->setIcon(buttonIcon(QStyle::SP_DialogOkButton));
    // Enter anywhere in the window presses OK; Esc is the dialog's own reject, like Cancel.
    BitBtn1->setDefault(true);
    BitBtn2 = makeButton("BitBtn2", QStringLiteral("Cancel"), QString(), this);
    BitBtn2->setIcon(buttonIcon(QStyle::SP_DialogCancelButton));
    connect(BitBtn1, &QPushButton::clicked, this, &TAppSetForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    return makeButtonBox(
        {{BitBtn1, QDialogButtonBox::AcceptRole}, {BitBtn2, QDialogButtonBox::RejectRole}}, this);
}

// A focus change inside the window is leaving the field; the window losing the focus to
// another one, or a context menu opening, is not.
bool TAppSetForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SizeEdit && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            SizeEditExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TAppSetForm::FormShow()
{
    const QFont font = todayMemo_->font();
    SizeEdit->setText(QString::number(font.pointSize()));
    (font.family() == proportionalFace ? ProRadio : TouhabaRadio)->setChecked(true);
    CheckBox1->setChecked(state_.NewProcessFlag);
    CheckBox2->setChecked(state_.FirstPageChangeFlag != FirstPageChange::Never);
}

void TAppSetForm::SizeEditExit()
{
    const int size = readInteger(SizeEdit->text(), -1);
    if (size < smallestSize)
        SizeEdit->setText(QString::number(smallestSize));
    else if (size > largestSize)
        SizeEdit->setText(QString::number(largestSize));
}

void TAppSetForm::BitBtn1Click()
{
    QFont font = todayMemo_->font();
    const int size = readInteger(SizeEdit->text(), sizeWhenNotANumber);
    // Qt cannot show a size below 1 point; such a size leaves the size as it was.
    if (size >= 1)
        font.setPointSize(size);
    font.setFamily(ProRadio->isChecked() ? proportionalFace : fixedPitchFace);
    todayMemo_->setFont(font);
    allMemo_->setFont(font);

    state_.NewProcessFlag = CheckBox1->isChecked();
    // A ticked box keeps a window already shown in this run from coming up again before the
    // next run.
    if (!CheckBox2->isChecked())
        state_.FirstPageChangeFlag = FirstPageChange::Never;
    else if (state_.FirstPageChangeFlag == FirstPageChange::Never)
        state_.FirstPageChangeFlag = FirstPageChange::ShowAtSwitch;
    accept();
}
