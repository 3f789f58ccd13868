#pragma once

#include "platform/Controls.h"

#include <array>
#include <optional>

class QLabel;
class QPushButton;

// The modal window for the text decoration tags ("文字装飾"). Thirteen toggle buttons choose the
// decorations; after every press the tag strip and the preview of the selection are rebuilt.
// Every opening starts with all buttons up.
class TDecorationForm : public FormDialog {
    Q_OBJECT
public:
    explicit TDecorationForm(QWidget* parent = nullptr);

    // Shows the window modally for the selected text; the text wrapped in the chosen tags when
    // OK closes it, nothing when Esc or the close box does.
    std::optional<QString> askTag(const QString& selectionText);

    // Runs at every opening: the selection in the preview, every button up, no tags.
    void FormShow() override;
    // Runs after any of the thirteen buttons has changed its state.
    void BoldBtnClick();
    // OK: the opening tags, the selection and the closing tags; closes the window.
    void BitBtn1Click();

    QLabel* PreviewPanel;
    QLabel* AttColorLabel;
    QLabel* AttLabel;
    QLabel* TagPanel;
    QPushButton* BoldBtn;
    QPushButton* ItalicBtn;
    QPushButton* LineBtn;
    QPushButton* StrikeBtn;
    QPushButton* BigBtn;
    QPushButton* SmallBtn;
    QPushButton* StrongBtn;
    QPushButton* RedBtn;
    QPushButton* YellowBtn;
    QPushButton* BlueBtn;
    QPushButton* GreenBtn;
    QPushButton* WhiteBtn;
    QPushButton* BlackBtn;
    QPushButton* BitBtn1;

private:
    QWidget* createPreview();
    QWidget* createStylePanel();
    QWidget* createColourPanel();
    QPushButton* toggleButton(const char* name, const QString& caption, QWidget* parent);
    void release(QPushButton* button);
    void resetPreview();
    std::array<QPushButton*, 6> colourButtons() const;

    QString selectionText_;
    QString openingTags_;
    QString closingTags_;
    QString tagText_;
};
