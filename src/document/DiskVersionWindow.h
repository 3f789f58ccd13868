#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The diary as another program left it on the disk, beside the writer's own unsaved text: read
// only, opened at the first line where the two differ, so that the writer can compare them before
// choosing. It stays open while the writer goes on editing; "この内容で読み直す" takes it in
// place of the writer's text.
class DiskVersionWindow : public QDialog {
    Q_OBJECT
public:
    explicit DiskVersionWindow(QWidget* parent);

    // Shows theirs (the file's text, LF line ends) and where it first differs from mine.
    void showVersion(const QString& path, const QString& theirs, const QString& mine);

    QLabel* DiskVersionNote;
    QPlainTextEdit* DiskVersionMemo;
    QPushButton* DiskReloadBtn;
    QPushButton* DiskCloseBtn;

signals:
    void reloadChosen();
};
