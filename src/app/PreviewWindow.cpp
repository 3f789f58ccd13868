#include "app/PreviewWindow.h"

#include "document/HtmlTokens.h"
#include "platform/Controls.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int pauseMs = 500;
constexpr int linesShown = 100; // above and below the cursor
const QString cursorAnchor = QStringLiteral("cursor");
const QString noDiaryYet = QStringLiteral("<p>日記ファイルはまだ開かれていません。</p>");

void setBaseFolder(QTextBrowser* view, const QString& filePath)
{
    if (filePath.isEmpty()) {
        view->setSearchPaths({});
        view->document()->setBaseUrl(QUrl());
        return;
    }
    const QString folder = QFileInfo(filePath).absolutePath();
    view->setSearchPaths({folder});
    view->document()->setBaseUrl(QUrl::fromLocalFile(folder + u'/'));
}

} // namespace

QString linesAroundCursor(const QPlainTextEdit* editor, int before, int after)
{
    const QTextBlock current = editor->textCursor().block();
    QTextBlock block = current;
    for (int i = 0; i < before && block.previous().isValid(); ++i)
        block = block.previous();
    QString text;
    document::HtmlState state = document::HtmlState::Text;
    const int last = current.blockNumber() + after;
    for (; block.isValid() && block.blockNumber() <= last; block = block.next()) {
        const QString line = block.text();
        if (block == current && state == document::HtmlState::Text)
            text += QStringLiteral("<a name=\"%1\"></a>").arg(cursorAnchor);
        state = document::htmlLineEnd(line, state);
        text += line;
        text += u'\n';
    }
    return text;
}

PreviewWindow::PreviewWindow(std::function<QString()> entryHtml, QPlainTextEdit* diary,
                             std::function<bool()> diaryOpen, std::function<QString()> diaryPath,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), entryHtml_(std::move(entryHtml)), diary_(diary),
      diaryOpen_(std::move(diaryOpen)), diaryPath_(std::move(diaryPath))
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("プレビュー"));
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(
        createPane(EntryView, "EntryView", QStringLiteral("今日の日記（次に挿入される内容）")));
    splitter->addWidget(
        createPane(DiaryView, "DiaryView", QStringLiteral("日記ファイル（カーソル付近）")));
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(480, 560);

    pause_.setSingleShot(true);
    pause_.setInterval(pauseMs);
    connect(&pause_, &QTimer::timeout, this, &PreviewWindow::refresh);
    connect(diary, &QPlainTextEdit::textChanged, this, &PreviewWindow::scheduleRefresh);
    connect(diary, &QPlainTextEdit::cursorPositionChanged, this, &PreviewWindow::scheduleRefresh);
}

QWidget* PreviewWindow::createPane(QTextBrowser*& view, const char* name, const QString& caption)
{
    auto* pane = new QWidget(this);
    view = new QTextBrowser(pane);
    view->setObjectName(QLatin1String(name));
    view->setOpenLinks(false); // a click must not replace what the pane shows
    auto* label = makeFieldLabel(caption, view, pane);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(view, 1);
    return pane;
}

void PreviewWindow::scheduleRefresh()
{
    if (isVisible())
        pause_.start();
}

void PreviewWindow::refresh()
{
    pause_.stop();
    const QString path = diaryPath_();
    setBaseFolder(EntryView, path);
    setBaseFolder(DiaryView, path);
    EntryView->setHtml(entryHtml_());
    showDiary();
}

// The diary part keeps its place while the text around the cursor is the same; otherwise it
// shows the cursor's line. Until a diary is open it says so, rather than render the editor's
// request to open one as if it were the diary.
void PreviewWindow::showDiary()
{
    const QString html =
        diaryOpen_() ? linesAroundCursor(diary_, linesShown, linesShown) : noDiaryYet;
    if (html == shownDiary_)
        return;
    shownDiary_ = html;
    DiaryView->setHtml(html);
    DiaryView->scrollToAnchor(cursorAnchor);
}

void PreviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!placed_) {
        placed_ = true;
        placeBesideParent();
    }
    refresh();
    emit visibilityChanged(true);
}

void PreviewWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    pause_.stop();
    emit visibilityChanged(false);
}

// At the right of the main window, or at its left when the screen has no room there.
void PreviewWindow::placeBesideParent()
{
    const QWidget* main = parentWidget();
    const QScreen* screen = main->screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QRect frame = main->frameGeometry();
    QPoint at(frame.right() + 1, frame.top());
    if (at.x() + width() > free.right())
        at.setX(std::max(free.left(), frame.left() - width()));
    move(at);
}
