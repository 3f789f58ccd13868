#include "document/DiskVersionWindow.h"

#include "document/DiaryText.h"
#include "platform/Controls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

DiskVersionWindow::DiskVersionWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DiskVersionWindow"));
    setWindowTitle(QStringLiteral("ほかのプログラムが保存した内容"));
    DiskVersionNote = makeLabel("DiskVersionNote", QString(), this);
    DiskVersionNote->setWordWrap(true);
    describeDisplay(DiskVersionNote, QStringLiteral("違い"));
    DiskVersionMemo = makeMemo("DiskVersionMemo", QStringLiteral("ディスク上の日記ファイル"), this);
    DiskVersionMemo->setReadOnly(true);
    DiskReloadBtn = makeButton("DiskReloadBtn", QStringLiteral("この内容で読み直す(&R)"),
                               QStringLiteral("編集中の内容に代えて、この内容を読み込みます。"
                                              "編集中の内容は「元に戻す」で戻せます。"),
                               this);
    DiskCloseBtn = makeButton("DiskCloseBtn", QStringLiteral("閉じる"),
                              QStringLiteral("編集中の内容をそのまま残します。"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DiskVersionNote);
    layout->addWidget(DiskVersionMemo, 1);
    layout->addWidget(makeButtonBox({{DiskReloadBtn, QDialogButtonBox::AcceptRole},
                                     {DiskCloseBtn, QDialogButtonBox::RejectRole}},
                                    this));
    connect(DiskReloadBtn, &QPushButton::clicked, this, [this] {
        hide();
        emit reloadChosen();
    });
    connect(DiskCloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    resize(640, 480);
}

void DiskVersionWindow::showVersion(const QString& path, const QString& theirs, const QString& mine)
{
    DiskVersionMemo->setPlainText(theirs);
    const std::optional<int> line = document::firstDifferentLine(theirs, mine);
    DiskVersionNote->setText(
        line ? QStringLiteral("%1\nディスク上の内容です（読み取り専用）。編集中の内容と %2 "
                              "行目から違います。")
                   .arg(path)
                   .arg(*line + 1)
             : QStringLiteral("%1\nディスク上の内容です（読み取り専用）。編集中の内容と同じです。")
                   .arg(path));
    QTextCursor at(DiskVersionMemo->document()->findBlockByNumber(line.value_or(0)));
    DiskVersionMemo->setTextCursor(at);
    DiskVersionMemo->centerCursor();
    show();
    raise();
    activateWindow();
    DiskVersionMemo->setFocus();
}
