#include "tags/TDecorationForm.h"

#include "platform/Controls.h"
#include "tags/FormParts.h"
#include "tags/TagTexts.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int plainPointSize = 16;

QLabel* note(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(text);
    label->setTextFormat(Qt::PlainText);
    // Small plain type of its own, so the style of the preview around it does not reach it.
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    small.setBold(false);
    small.setItalic(false);
    small.setUnderline(false);
    small.setStrikeOut(false);
    label->setFont(small);
    label->hide();
    return label;
}

QFrame* buttonPanel(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    return panel;
}

} // namespace

TDecorationForm::TDecorationForm(QWidget* parent) : FormDialog(parent)
{
    setObjectName(QStringLiteral("TDecorationForm"));
    setWindowTitle(QStringLiteral("文字装飾"));
    setModal(true);

    QWidget* preview = createPreview();
    QWidget* styles = createStylePanel();
    QWidget* colours = createColourPanel();

    BitBtn1 = tags::plainButton("BitBtn1", QStringLiteral("&OK"), this);
    BitBtn1->setDefault(true);
    auto* buttons = makeButtonBox({{BitBtn1, QDialogButtonBox::AcceptRole}}, this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(preview);
    layout->addWidget(TagPanel);
    layout->addWidget(styles);
    layout->addWidget(colours);
    layout->addWidget(buttons);

    // Big and small are one group in which both may be up: pressing one down releases the
    // other quietly, since the handler runs for the press itself right after.
    connect(BigBtn, &QPushButton::toggled, this, [this](bool down) {
        if (down)
            release(SmallBtn);
    });
    connect(SmallBtn, &QPushButton::toggled, this, [this](bool down) {
        if (down)
            release(BigBtn);
    });
    // Every change of state runs the handler, whether a click, a key, a screen reader's toggle
    // action or the program made it.
    for (QPushButton* button : {BoldBtn, ItalicBtn, LineBtn, StrikeBtn, BigBtn, SmallBtn, StrongBtn,
                                RedBtn, YellowBtn, BlueBtn, GreenBtn, WhiteBtn, BlackBtn})
        connect(button, &QPushButton::toggled, this, &TDecorationForm::BoldBtnClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TDecorationForm::BitBtn1Click);
}

// The preview shows the selection in large type, with the two notes inside it; the tag strip
// below it is wide enough for the longest tag text the buttons can make. Both have a fixed
// size, so a long selection is cut off in the preview rather than widening the window.
QWidget* TDecorationForm::createPreview()
{
    PreviewPanel = new QLabel(this);
    PreviewPanel->setObjectName(QStringLiteral("PreviewPanel"));
    PreviewPanel->setTextFormat(Qt::PlainText);
    describeDisplay(PreviewPanel, QStringLiteral("PREVIEW"));
    PreviewPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PreviewPanel->setAlignment(Qt::AlignCenter);
    PreviewPanel->setAutoFillBackground(true);
    PreviewPanel->setBackgroundRole(QPalette::Base);

    AttColorLabel = note("AttColorLabel",
                         QStringLiteral("※色は再現されません。色の見本は、付属の Color.html "
                                        "ファイルをご覧下さい。"),
                         PreviewPanel);
    AttLabel = note("AttLabel",
                    QStringLiteral("※「強調」は、代表的なブラウザでは「太字」と同じ視覚効果で"
                                   "表現されます。"),
                    PreviewPanel);
    auto* notes = new QVBoxLayout(PreviewPanel);
    notes->addWidget(AttColorLabel, 0, Qt::AlignLeft | Qt::AlignTop);
    notes->addStretch(1);
    notes->addWidget(AttLabel, 0, Qt::AlignLeft | Qt::AlignBottom);

    TagPanel = new QLabel(QStringLiteral("TAG PREVIEW"), this);
    TagPanel->setObjectName(QStringLiteral("TagPanel"));
    TagPanel->setTextFormat(Qt::PlainText);
    TagPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TagPanel->setAlignment(Qt::AlignCenter);
    TagPanel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    tags::DecorationButtons longest;
    longest.bold = longest.italic = longest.underline = longest.strike = true;
    longest.small = longest.strong = true;
    longest.colours[tags::Red] = longest.colours[tags::Blue] = true;
    constexpr int margin = 24;
    const int stripWidth =
        TagPanel->fontMetrics().horizontalAdvance(tags::tagStrip(tags::decorate(longest))) + margin;
    const int noteWidth =
        AttColorLabel->fontMetrics().horizontalAdvance(AttColorLabel->text()) + margin;
    const int width = std::max(stripWidth, noteWidth);
    TagPanel->setFixedWidth(width);

    QFont large = PreviewPanel->font();
    large.setPointSize(plainPointSize + 2);
    const int noteHeight = AttLabel->fontMetrics().height();
    PreviewPanel->setFixedSize(width, QFontMetrics(large).height() * 2 + noteHeight * 2 + margin);
    return PreviewPanel;
}

QWidget* TDecorationForm::createStylePanel()
{
    QFrame* panel = buttonPanel(this);
    BoldBtn = toggleButton("BoldBtn", QStringLiteral("太字(&B)"), panel);
    ItalicBtn = toggleButton("ItalicBtn", QStringLiteral("斜体(&I)"), panel);
    LineBtn = toggleButton("LineBtn", QStringLiteral("下線(&U)"), panel);
    StrikeBtn = toggleButton("StrikeBtn", QStringLiteral("打消(&K)"), panel);
    BigBtn = toggleButton("BigBtn", QStringLiteral("大きめ(&P)"), panel);
    SmallBtn = toggleButton("SmallBtn", QStringLiteral("小さめ(&D)"), panel);
    StrongBtn = toggleButton("StrongBtn", QStringLiteral("強調(&S)"), panel);

    // Each style button's caption shows its own style.
    const std::pair<QPushButton*, void (QFont::*)(bool)> looks[] = {
        {BoldBtn, &QFont::setBold},
        {ItalicBtn, &QFont::setItalic},
        {LineBtn, &QFont::setUnderline},
        {StrikeBtn, &QFont::setStrikeOut}};
    for (const auto& [button, look] : looks) {
        QFont font = button->font();
        (font.*look)(true);
        button->setFont(font);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(BoldBtn, 0, 0);
    grid->addWidget(ItalicBtn, 0, 1);
    grid->addWidget(LineBtn, 0, 2);
    grid->addWidget(StrikeBtn, 0, 3);
    grid->addWidget(BigBtn, 1, 0);
    grid->addWidget(SmallBtn, 1, 1);
    grid->addWidget(StrongBtn, 1, 2);

    auto* prompt = new QVBoxLayout;
    prompt->addWidget(tags::guidance(QStringLiteral("加えたい装飾を"), panel));
    prompt->addWidget(tags::guidance(QStringLiteral("押下して下さい。"), panel));
    prompt->addStretch(1);

    auto* layout = new QHBoxLayout(panel);
    layout->addLayout(prompt);
    layout->addSpacing(12);
    layout->addLayout(grid, 1);
    return panel;
}

QWidget* TDecorationForm::createColourPanel()
{
    QFrame* panel = buttonPanel(this);
    RedBtn = toggleButton("RedBtn", QStringLiteral("赤(&1)"), panel);
    YellowBtn = toggleButton("YellowBtn", QStringLiteral("黄(&2)"), panel);
    BlueBtn = toggleButton("BlueBtn", QStringLiteral("青(&3)"), panel);
    GreenBtn = toggleButton("GreenBtn", QStringLiteral("緑(&4)"), panel);
    WhiteBtn = toggleButton("WhiteBtn", QStringLiteral("白(&L)"), panel);
    BlackBtn = toggleButton("BlackBtn", QStringLiteral("黒(&D)"), panel);

    auto* prompt = new QVBoxLayout;
    prompt->addWidget(tags::guidance(QStringLiteral("色は混合可能。"), panel));
    QLabel* limit = tags::guidance(QStringLiteral("（２色まで）"), panel);
    QFont small = limit->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    limit->setFont(small);
    prompt->addWidget(limit);

    auto* layout = new QHBoxLayout(panel);
    layout->addLayout(prompt);
    layout->addSpacing(12);
    for (QPushButton* button : colourButtons())
        layout->addWidget(button);
    return panel;
}

QPushButton* TDecorationForm::toggleButton(const char* name, const QString& caption,
                                           QWidget* parent)
{
    QPushButton* button = tags::plainButton(name, caption, parent);
    button->setCheckable(true);
    return button;
}

std::array<QPushButton*, 6> TDecorationForm::colourButtons() const
{
    return {RedBtn, YellowBtn, BlueBtn, GreenBtn, WhiteBtn, BlackBtn};
}

std::optional<QString> TDecorationForm::askTag(const QString& selectionText)
{
    selectionText_ = selectionText;
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return tagText_;
}

void TDecorationForm::FormShow()
{
    tagText_.clear();
    PreviewPanel->setText(selectionText_);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->isCheckable())
            release(button);
    }
    resetPreview();
    TagPanel->setText(QStringLiteral("TAG PREVIEW"));
    openingTags_.clear();
    closingTags_.clear();
    BitBtn1->setFocus();
}

// Brings a button up without running the handler: the caller rebuilds the tags itself.
void TDecorationForm::release(QPushButton* button)
{
    const QSignalBlocker quiet(button);
    button->setChecked(false);
}

void TDecorationForm::resetPreview()
{
    QFont plain = font();
    plain.setPointSize(plainPointSize);
    PreviewPanel->setFont(plain);
    AttLabel->hide();
    AttColorLabel->hide();
}

void TDecorationForm::BoldBtnClick()
{
    tags::DecorationButtons buttons;
    buttons.bold = BoldBtn->isChecked();
    buttons.italic = ItalicBtn->isChecked();
    buttons.underline = LineBtn->isChecked();
    buttons.strike = StrikeBtn->isChecked();
    buttons.big = BigBtn->isChecked();
    buttons.small = SmallBtn->isChecked();
    buttons.strong = StrongBtn->isChecked();
    const auto colours = colourButtons();
    for (std::size_t c = 0; c < colours.size(); ++c)
        buttons.colours[c] = colours[c]->isChecked();

    const tags::Decoration d = tags::decorate(buttons);
    for (std::size_t c = 0; c < colours.size(); ++c) {
        if (!d.colours[c])
            release(colours[c]);
    }

    resetPreview();
    QFont look = PreviewPanel->font();
    look.setBold(d.bold);
    look.setItalic(d.italic);
    look.setUnderline(d.underline);
    look.setStrikeOut(d.strike);
    look.setPointSize(d.pointSize);
    PreviewPanel->setFont(look);
    AttLabel->setVisible(d.strongNote);
    AttColorLabel->setVisible(d.colourNote);

    openingTags_ = d.opening;
    closingTags_ = d.closing;
    TagPanel->setText(tags::tagStrip(d));
}

void TDecorationForm::BitBtn1Click()
{
    tagText_ = openingTags_ + selectionText_ + closingTags_;
    accept();
}
