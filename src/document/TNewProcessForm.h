#pragma once

#include "platform/Controls.h"

#include <functional>

class DiaryDocument;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The modal window that previews the base template for a new diary and asks whether to load it.
class TNewProcessForm : public FormDialog {
    Q_OBJECT
public:
    // The window loads the base template into the document, or not.
    explicit TNewProcessForm(DiaryDocument& document, QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPlainTextEdit* SampleMemo;
    QCheckBox* CheckBox;
    QPushButton* OkButton;
    QPushButton* NoButton;

    // Every closing (either button, Esc, the close box) passes here: FormCloseQuery.
    void done(int result) override;

private:
    void FormShow() override;
    void OkButtonClick();

    // Runs a step whose unhandled error is reported here, inside the modal window.
    bool run(const std::function<void()>& step);

    DiaryDocument& document_;
};
