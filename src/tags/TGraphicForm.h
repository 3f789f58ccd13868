#pragma once

#include "platform/Controls.h"

#include <optional>

class Messages;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modal window for the image tag ("画像指定タグ挿入"). Every opening empties the fields and
// puts the placement back to "その場所". The image file itself is never looked at.
class TGraphicForm : public FormDialog {
    Q_OBJECT
public:
    explicit TGraphicForm(QWidget* parent = nullptr);

    // Shows the window modally; the image tag when OK closes it, nothing when Cancel, Esc or
    // the close box does. An empty file name is refused through `messages`.
    std::optional<QString> askTag(Messages& messages);

    // Runs at every opening: everything back to empty, no placement.
    void FormShow() override;
    // OK: refuses an empty file name; otherwise builds the tag and closes the window.
    void BitBtn1Click();

    QGroupBox* GroupBox1;
    QLineEdit* GraphicFileEdit;
    QLineEdit* HeightEdit;
    QLineEdit* WidthEdit;
    QLineEdit* TextEdit;
    QFrame* AlignPanel;
    QRadioButton* RadioLeft;
    QRadioButton* RadioRight;
    QRadioButton* RadioNone;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    Messages* messages_ = nullptr; // while askTag runs
    QButtonGroup* alignGroup_;
    QString tagText_;
};
