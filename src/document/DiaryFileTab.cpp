#include "document/DiaryFileTab.h"

#include "document/HtmlColoring.h"
#include "document/LineNumberArea.h"
#include "find/FindBar.h"
#include "find/StatusLabel.h"
#include "platform/Controls.h"
#include "text/LineEnds.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// What AllMemo shows until a diary document is opened or created.
const QString placeholderText =
    QStringLiteral("\r\n"
                   "   *** 日記HTMLファイル編集領域 ***\r\n"
                   "\r\n"
                   "      日記用ＨＴＭＬファイルを読み込んで下さい。\r\n"
                   "      ない場合は、「新規」ボタンで新規作成して下さい。");

} // namespace

DiaryFileTab::DiaryFileTab(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addLayout(createFirstButtonRow());
    layout->addLayout(createSecondButtonRow());
    layout->addLayout(createFileRow());
    DiskStatus = new StatusLabel("DiskStatus", QStringLiteral("ファイルの状態"), this);
    DiskStatus->setWordWrap(true);
    DiskStatus->hide();
    layout->addWidget(DiskStatus);
    layout->addLayout(createEditor(), 1);
}

void DiaryFileTab::showEvent(QShowEvent* event)
{
    buildEditorParts();
    QWidget::showEvent(event);
}

// The colours, the line numbers at AllMemo's left and the find bar under it.
void DiaryFileTab::buildEditorParts()
{
    if (coloring_)
        return;
    coloring_ = new HtmlColoring(AllMemo);
    coloring_->setEnabled(coloringOn_);
    lineNumbers_ = new LineNumberArea(AllMemo, this);
    editorRow_->insertWidget(0, lineNumbers_);
    lineNumbers_->show(); // made after the tab was shown, it would stay hidden otherwise
    findBar_ = new FindBar("AllFindBar", AllMemo, this);
    layout()->addWidget(findBar_);
}

HtmlColoring* DiaryFileTab::coloring()
{
    buildEditorParts();
    return coloring_;
}

LineNumberArea* DiaryFileTab::lineNumbers()
{
    buildEditorParts();
    return lineNumbers_;
}

FindBar* DiaryFileTab::AllFindBar()
{
    buildEditorParts();
    return findBar_;
}

void DiaryFileTab::setColoringOn(bool on)
{
    coloringOn_ = on;
    if (coloring_)
        coloring_->setEnabled(on);
}

QSplitter* DiaryFileTab::addBesideEditor(QWidget* panel)
{
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("EditorSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->setAccessibleName(QStringLiteral("日付一覧の幅"));
    delete editorRow_->replaceWidget(AllMemo, splitter); // the editor's old item is ours to free
    editorRow_->setStretchFactor(splitter, 1);
    splitter->addWidget(AllMemo);
    splitter->addWidget(panel);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    // Shown now, not at the layout's next turn, so the panel is there for what follows.
    splitter->show();
    AllMemo->show();
    return splitter;
}

QLayout* DiaryFileTab::createFirstButtonRow()
{
    NewDiaryBtn = makeButton("NewDiaryBtn", QStringLiteral("新規(&N)"),
                             QStringLiteral("新しく日記HTMLファイルを作成します。"), this);
    OpenDiaryBtn = makeButton("OpenDiaryBtn", QStringLiteral("開く(&O)"),
                              QStringLiteral("既存の日記HTMLファイルを開きます。"), this);
    ReOpenBtn =
        makeButton("ReOpenBtn", QStringLiteral("▼履歴(&R)"),
                   QStringLiteral("過去に保存したことのあるファイルを再度開きます。"), this);
    InsertDiaryBtn = makeButton(
        "InsertDiaryBtn", QStringLiteral("カーソル位置に今日の日記を挿入(&P)"),
        QStringLiteral("カーソルのある位置に、「今日の日記編集」内容を挿入します。"), this);
    EntryPlaceBtn = makeButton(
        "EntryPlaceBtn", QStringLiteral("日付順の位置へ"),
        QStringLiteral(
            "「今日の日記編集」の日付の日記が、日付の順に入る位置へカーソルを移します。"),
        this);
    auto* row = new QHBoxLayout;
    row->addWidget(NewDiaryBtn);
    row->addWidget(OpenDiaryBtn);
    row->addWidget(ReOpenBtn);
    row->addWidget(InsertDiaryBtn, 1);
    row->addWidget(EntryPlaceBtn);
    InsertDiaryBtn->setEnabled(false);
    return row;
}

QLayout* DiaryFileTab::createSecondButtonRow()
{
    SaveDiaryBtn = makeButton("SaveDiaryBtn", QStringLiteral("上書き保存(&S)"),
                              QStringLiteral("編集内容を保存します。"), this);
    SaveAsBtn = makeButton("SaveAsBtn", QStringLiteral("別名で保存(&A)"),
                           QStringLiteral("編集内容を、別のファイル名で保存します。"), this);
    BRTagBtn = makeButton("BRTagBtn", QStringLiteral("改行(&B)"),
                          QStringLiteral("改行タグを挿入します。"), this);
    HRBtn =
        makeButton("HRBtn", QStringLiteral("水平線(&H)"),
                   QStringLiteral("水平線を表示させるタグを挿入します。日記の区切りなどに利用して"
                                  "下さい。"),
                   this);
    LinkTagBtn = makeButton("LinkTagBtn", QStringLiteral("リンク(&L)"),
                            QStringLiteral("リンクタグを挿入します。"), this);
    IMGBtn = makeButton("IMGBtn", QStringLiteral("画像(&G)"),
                        QStringLiteral("画像タグを挿入します。"), this);
    StyleBtn =
        makeButton("StyleBtn", QStringLiteral("文字装飾(&D)"),
                   QStringLiteral("太字・斜体・サイズ変更・色の指定などを行いたいときにクリック"
                                  "して下さい。"),
                   this);
    auto* row = new QHBoxLayout;
    for (QPushButton* b :
         {SaveDiaryBtn, SaveAsBtn, BRTagBtn, HRBtn, LinkTagBtn, IMGBtn, StyleBtn}) {
        b->setEnabled(false);
        row->addWidget(b);
    }
    row->addStretch(1);
    return row;
}

QLayout* DiaryFileTab::createFileRow()
{
    auto* label = new QLabel(QStringLiteral("編集中ファイル名："), this);
    label->setObjectName(QStringLiteral("Panel1"));
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelEditFile = new QLabel(QStringLiteral("None."), this);
    PanelEditFile->setObjectName(QStringLiteral("PanelEditFile"));
    PanelEditFile->setToolTip(QStringLiteral("編集中のファイル名です。"));
    PanelEditFile->setTextFormat(Qt::PlainText);
    PanelEditFile->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setBuddy(PanelEditFile);
    describeDisplay(PanelEditFile, label->text());
    // The colours of an active window's caption bar.
    PanelEditFile->setAutoFillBackground(true);
    PanelEditFile->setBackgroundRole(QPalette::Highlight);
    PanelEditFile->setForegroundRole(QPalette::HighlightedText);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(label);
    row->addWidget(PanelEditFile, 1);
    row->addWidget(createEncodingDisplay());
    // Short captions beside the encoding they change; the full command names are what a screen
    // reader says and the File menu shows.
    ReopenAsBtn = makeButton("ReopenAsBtn", QStringLiteral("開き直す"),
                             QStringLiteral("文字コードを指定して開き直す：編集中のファイルを、"
                                            "選んだ文字コードで読み直します。"),
                             this);
    ReopenAsBtn->setAccessibleName(QStringLiteral("文字コードを指定して開き直す"));
    SaveAsEncodingBtn =
        makeButton("SaveAsEncodingBtn", QStringLiteral("変えて保存"),
                   QStringLiteral("文字コードを変えて保存：編集内容の写しを、選んだ文字コードで"
                                  "別のファイルに保存します。"),
                   this);
    SaveAsEncodingBtn->setAccessibleName(QStringLiteral("文字コードを変えて保存"));
    // Without access keys: every letter left is taken by the menu bar and the tab's other
    // buttons; the File menu gives both with one (E, C).
    for (QPushButton* b : {ReopenAsBtn, SaveAsEncodingBtn}) {
        b->setEnabled(false);
        row->addWidget(b);
    }
    return row;
}

// The placeholder comes as a document of its own, given to AllMemo with the cursor at its start.
// Filled into AllMemo's own document it would leave the cursor after the text, and moving the
// cursor back lays out the Japanese lines: at start, before the tab is ever seen, that was a
// tenth of the time until the window shows.
void DiaryFileTab::showPlaceholder()
{
    auto* document = new QTextDocument(AllMemo);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(AllMemo->font());
    document->setPlainText(text::toEditorText(placeholderText));
    document->setModified(false); // a note, not the writer's text
    AllMemo->setDocument(document);
}

// Read by a screen reader as its text, described as the encoding.
QLabel* DiaryFileTab::createEncodingDisplay()
{
    PanelEncoding = new QLabel(QString(), this);
    PanelEncoding->setObjectName(QStringLiteral("PanelEncoding"));
    PanelEncoding->setToolTip(QStringLiteral("編集中のファイルの文字コードと改行です。"));
    PanelEncoding->setTextFormat(Qt::PlainText);
    PanelEncoding->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelEncoding->setMargin(2);
    describeDisplay(PanelEncoding, QStringLiteral("文字コードと改行"));
    return PanelEncoding;
}

QLayout* DiaryFileTab::createEditor()
{
    AllMemo = makeMemo("AllMemo", QStringLiteral("日記ファイル"), this);
    showPlaceholder();
    AllMemo->setReadOnly(true);
    editorRow_ = new QHBoxLayout;
    editorRow_->setSpacing(0);
    editorRow_->addWidget(AllMemo, 1);
    return editorRow_;
}
