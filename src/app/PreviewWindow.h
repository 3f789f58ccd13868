#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class QPlainTextEdit;
class QTextBrowser;

// The window beside the main window that shows, rendered as a browser would: today's entry as
// the next insertion would write it, and the diary around AllMemo's cursor. It follows changes
// after a short pause. It is not modal; closing it only hides it.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    // entryHtml gives today's entry as it would be inserted; diaryOpen whether the diary editor
    // holds a diary (rather than the text asking for one); diaryPath the diary's file (empty for
    // a diary not yet saved), whose folder links and pictures are found from.
    PreviewWindow(std::function<QString()> entryHtml, QPlainTextEdit* diary,
                  std::function<bool()> diaryOpen, std::function<QString()> diaryPath,
                  QWidget* parent);

    // Shows the texts again once nothing has changed for a short while.
    void scheduleRefresh();
    // Shows the texts now.
    void refresh();

    QTextBrowser* EntryView;
    QTextBrowser* DiaryView;

signals:
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* createPane(QTextBrowser*& view, const char* name, const QString& caption);
    void placeBesideParent();
    void showDiary();

    std::function<QString()> entryHtml_;
    QPlainTextEdit* diary_;
    std::function<bool()> diaryOpen_;
    std::function<QString()> diaryPath_;
    QString shownDiary_;
    QTimer pause_;
    bool placed_ = false;
};

// The lines of the editor around its cursor, `before` above and `after` below its line, as one
// LF text; a mark (an empty anchor named "cursor") starts the cursor's line when that line does
// not start inside a tag or a comment of the text shown.
QString linesAroundCursor(const QPlainTextEdit* editor, int before, int after);
