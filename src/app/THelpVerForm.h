#pragma once

#include "platform/Controls.h"

class Clipboard;
class Files;
class QLabel;
class QPushButton;

// The version window ("バージョン情報"): the program's name and version, the running system and
// its memory, where the program, its README and the base template live, each with a button that
// copies it to the clipboard. It changes no state of the program.
class THelpVerForm : public FormDialog {
    Q_OBJECT
public:
    // programFolder: the program file's folder; workFolder: the folder of the base template and
    // the work file (ProgramFolder of the main window).
    THelpVerForm(const QString& programFolder, const QString& workFolder, Clipboard& clipboard,
                 Files& files, QWidget* parent = nullptr);

    // Reads the system's data and the README's place afresh; runs each time the window is shown.
    void FormShow() override;

    QLabel* Image1;
    QLabel* VersionLabel;
    QLabel* SystemLabel;
    QLabel* MemoryLabel;
    QLabel* FolderLabel;
    QLabel* ReadmeLabel;
    QLabel* WorkFolderLabel;
    QPushButton* VersionCopyBtn;
    QPushButton* SystemCopyBtn;
    QPushButton* MemoryCopyBtn;
    QPushButton* FolderCopyBtn;
    QPushButton* ReadmeCopyBtn;
    QPushButton* WorkFolderCopyBtn;
    QPushButton* OKBtn;

private:
    QString programFolder_;
    QString workFolder_;
    Clipboard& clipboard_;
    Files& files_;
};
