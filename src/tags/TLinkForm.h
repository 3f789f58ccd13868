#pragma once

#include "platform/Controls.h"

#include <optional>

class Messages;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The modal window for the link tag ("リンクの設置"). Each opening takes the link text from the
// selection it is given and empties the target; the check box keeps its state for the run.
class TLinkForm : public FormDialog {
    Q_OBJECT
public:
    explicit TLinkForm(QWidget* parent = nullptr);

    // Shows the window modally for the selected text; the link tag when OK closes it, nothing
    // when Cancel, Esc or the close box does. An empty target is refused through `messages`.
    std::optional<QString> askTag(const QString& selectionText, Messages& messages);

    // Runs at every opening: the fields from the selection, the focus where typing starts.
    void FormShow() override;
    // OK: refuses an empty target; otherwise builds the tag and closes the window.
    void BitBtn1Click();

    QGroupBox* GroupBox1;
    QLineEdit* LinkNameEdit;
    QLineEdit* LinkUrlEdit;
    QCheckBox* WindowCheck;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    QString selectionText_;
    Messages* messages_ = nullptr; // while askTag runs
    QString tagText_;
};
