#include "document/THistoryForm.h"

#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "platform/Controls.h"
#include "platform/ErrorMessages.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Where the window appears, from the main window's top-left corner.
constexpr QPoint offsetFromMainWindow(166, 96);
constexpr int buttonWidth = 420;

} // namespace

THistoryForm::THistoryForm(DiaryDocument& document, QWidget* parent)
    : FormDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint,
                 Placement::AsIs),
      document_(document)
{
    setObjectName(QStringLiteral("THistoryForm"));
    setWindowTitle(QStringLiteral("ファイル履歴から開く"));
    setModal(true);

    Label1 = new QLabel(
        QStringLiteral(
            "最近保存したファイル３つを常に記憶しています。（保存していない場合は記録対象外）"),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("その中から選択して、再度開くことができます。"), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    const char* names[] = {"Button1", "Button2", "Button3"};
    QPushButton** buttons[] = {&Button1, &Button2, &Button3};
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = makeButton(names[i], QStringLiteral("履歴なし"), QString(), this);
        button->setMinimumWidth(buttonWidth);
        button->setEnabled(false);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] { openEntry(i + 1); });
        *buttons[i] = button;
    }

    BitBtn1 = makeButton("BitBtn1", QStringLiteral("Cancel"), QString(), this);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(makeButtonBox({{BitBtn1, QDialogButtonBox::RejectRole}}, this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// Buttons of empty entries keep their caption and stay disabled.
void THistoryForm::FormShow()
{
    if (QWidget* main = parentWidget())
        move(main->window()->pos() + offsetFromMainWindow);
    QPushButton* buttons[] = {Button1, Button2, Button3};
    for (QPushButton* button : buttons)
        button->setEnabled(false);
    const auto& recent = document_.state().RecentFiles;
    for (size_t i = 0; i < recent.size(); ++i) {
        if (recent[i].isEmpty())
            continue;
        buttons[i]->setText(recent[i]);
        buttons[i]->setAccessibleName(recent[i]);
        buttons[i]->setEnabled(true);
    }
}

// The window closes once the file is open; a refused or unreadable file leaves it open.
void THistoryForm::openEntry(int number)
{
    run([&] {
        if (document_.OpenRecentFile(number))
            accept();
    });
}

bool THistoryForm::run(const std::function<void()>& step)
{
    return errorMessages(document_.platform().messages).run(step);
}
