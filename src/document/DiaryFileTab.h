#pragma once

#include <QWidget>

class HtmlColoring;
class LineNumberArea;
class FindBar;
class QBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class StatusLabel;

// The second tab: the diary document in AllMemo, the name of its file and the commands that
// open, save and edit it. The main window wires the buttons to its commands. AllMemo's colours,
// line numbers and find bar are made when the tab is first shown, or first asked for: the tab is
// not in front at start.
class DiaryFileTab : public QWidget {
    Q_OBJECT
public:
    explicit DiaryFileTab(QWidget* parent = nullptr);

    QPushButton* NewDiaryBtn;
    QPushButton* OpenDiaryBtn;
    QPushButton* ReOpenBtn;
    QPushButton* InsertDiaryBtn;
    QPushButton* EntryPlaceBtn;
    QPushButton* SaveDiaryBtn;
    QPushButton* SaveAsBtn;
    QPushButton* BRTagBtn;
    QPushButton* HRBtn;
    QPushButton* LinkTagBtn;
    QPushButton* IMGBtn;
    QPushButton* StyleBtn;
    QLabel* PanelEditFile;
    QLabel* PanelEncoding; // the encoding of the document, beside its file name
    // Each opens the menu of its command's encodings.
    QPushButton* ReopenAsBtn;
    QPushButton* SaveAsEncodingBtn;
    // What became of the file on the disk (read again, removed); hidden while there is nothing.
    StatusLabel* DiskStatus;
    QPlainTextEdit* AllMemo;

    HtmlColoring* coloring();      // of AllMemo's HTML
    LineNumberArea* lineNumbers(); // beside AllMemo
    FindBar* AllFindBar();         // under AllMemo, hidden until asked for
    // Whether AllMemo colours its HTML; kept until the colours are made.
    void setColoringOn(bool on);
    bool coloringOn() const { return coloringOn_; }
    // Puts a panel at the right of AllMemo, the two in a splitter the writer can move.
    QSplitter* addBesideEditor(QWidget* panel);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildEditorParts();
    QLayout* createFirstButtonRow();
    QLayout* createSecondButtonRow();
    QLayout* createFileRow();
    QLabel* createEncodingDisplay();
    QLayout* createEditor();
    void showPlaceholder();

    QBoxLayout* editorRow_;
    bool coloringOn_ = true;
    HtmlColoring* coloring_ = nullptr;
    LineNumberArea* lineNumbers_ = nullptr;
    FindBar* findBar_ = nullptr;
};
