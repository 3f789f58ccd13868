#pragma once

#include "platform/Controls.h"

class Clipboard;
class Files;
class QLabel;
class QPushButton;

// The window of links to the users' diaries ("ユーザ公開日記リンク"). The program has no pages of
// its own to point to yet, so it says where further information is: the README beside the
// program, whose path a button copies to the clipboard. It changes no state of the program.
class TPleaseForm : public FormDialog {
    Q_OBJECT
public:
    TPleaseForm(const QString& programFolder, Clipboard& clipboard, Files& files,
                QWidget* parent = nullptr);

    // Finds the README afresh; runs each time the window is shown.
    void FormShow() override;

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* ReadmeLabel;
    QPushButton* ReadmeCopyBtn;
    QPushButton* OKBtn;

private:
    QString programFolder_;
    Clipboard& clipboard_;
    Files& files_;
};
