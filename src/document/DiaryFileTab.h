#pragma once

#include <QWidget>

class HtmlColoring;
class LineNumberArea;
class FindBar;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The second tab: the diary document in AllMemo, the name of its file and the commands that
// open, save and edit it. The main window wires the buttons to its commands.
class DiaryFileTab : public QWidget {
    Q_OBJECT
public:
    explicit DiaryFileTab(QWidget* parent = nullptr);

    QPushButton* NewDiaryBtn;
    QPushButton* OpenDiaryBtn;
    QPushButton* ReOpenBtn;
    QPushButton* InsertDiaryBtn;
    QPushButton* SaveDiaryBtn;
    QPushButton* SaveAsBtn;
    QPushButton* BRTagBtn;
    QPushButton* HRBtn;
    QPushButton* LinkTagBtn;
    QPushButton* IMGBtn;
    QPushButton* StyleBtn;
    QLabel* PanelEditFile;
    QPlainTextEdit* AllMemo;
    HtmlColoring* coloring;      // of AllMemo's HTML
    LineNumberArea* lineNumbers; // beside AllMemo
    FindBar* AllFindBar;         // under AllMemo, hidden until asked for

private:
    QLayout* createFirstButtonRow();
    QLayout* createSecondButtonRow();
    QLayout* createFileRow();
    QLayout* createEditor();
};
