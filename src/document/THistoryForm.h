#pragma once

#include "platform/Controls.h"

#include <functional>

class DiaryDocument;
class QLabel;
class QPushButton;

// The modal window for opening a recently saved file: one wide button per entry of the recent
// files, refreshed at every showing.
class THistoryForm : public FormDialog {
    Q_OBJECT
public:
    // The window opens the chosen file in the document.
    explicit THistoryForm(DiaryDocument& document, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* BitBtn1;

private:
    void FormShow() override;
    void openEntry(int number);

    // Runs a step whose unhandled error is reported here, inside the modal window.
    bool run(const std::function<void()>& step);

    DiaryDocument& document_;
};
