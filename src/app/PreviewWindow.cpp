#include "app/PreviewWindow.h"

#include "app/DiaryExcerpt.h"
#include "app/PlaceBeside.h"
#include "app/PreviewEngine.h"
#include "core/AppInfo.h"
#include "platform/Controls.h"
#include "platform/Messages.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int pauseMs = 500;
constexpr int linesShown = 100;     // above and below the cursor
constexpr int narrowestWidth = 320; // narrowed to fit beside the main window, no narrower
const QString cursorAnchor = QStringLiteral("cursor");
const QString noDiaryYet = QStringLiteral("<p>日記ファイルはまだ開かれていません。</p>");
const QString scrollToCursor =
    QStringLiteral("(function(){var a=document.getElementsByName('%1')[0];"
                   "if(a)a.scrollIntoView();})()")
        .arg(cursorAnchor);

// The diary's folder, against which the pages' relative links are resolved; none for a diary
// not yet saved.
QUrl baseFolder(const QString& filePath)
{
    if (filePath.isEmpty())
        return {};
    return QUrl::fromLocalFile(QFileInfo(filePath).absolutePath() + u'/');
}

} // namespace

PreviewWindow::PreviewWindow(std::function<QString()> entryHtml, QPlainTextEdit* diary,
                             std::function<bool()> diaryOpen, std::function<QString()> diaryPath,
                             Platform platform, QSplitter* dock, QWidget* parent)
    : QWidget(parent, Qt::Window), entryHtml_(std::move(entryHtml)), diary_(diary),
      diaryOpen_(std::move(diaryOpen)), diaryPath_(std::move(diaryPath)), platform_(platform),
      excerpt_(new DiaryExcerpt(diary->document())), splitter_(new QSplitter(Qt::Vertical, this)),
      scriptsSwitch_(
          addSwitch("PreviewScripts", QStringLiteral("プレビューでスクリプトを実行する(&8)"))),
      remoteSwitch_(
          addSwitch("PreviewRemote", QStringLiteral("インターネット上の画像などを読み込む(&9)"))),
      dockSwitch_(makeCaptioned<QCheckBox>(
          "PreviewDocked", QStringLiteral("メインウインドウの中に表示する(&0)"), this)),
      dock_(dock), mainWindow_(parent)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("プレビュー"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(scriptsSwitch_);
    layout->addWidget(remoteSwitch_);
    layout->addWidget(dockSwitch_);
    connect(dockSwitch_, &QCheckBox::toggled, this, &PreviewWindow::dockSwitched);
    layout->addWidget(splitter_, 1);
    resize(480, 560);
    addCloseKeys();

    pause_.setSingleShot(true);
    pause_.setInterval(pauseMs);
    connect(&pause_, &QTimer::timeout, this, &PreviewWindow::refresh);
    connect(diary, &QPlainTextEdit::textChanged, this, &PreviewWindow::scheduleRefresh);
    connect(diary, &QPlainTextEdit::cursorPositionChanged, this, &PreviewWindow::scheduleRefresh);
}

// F5 opens and closes the preview from the main window; here it closes it, as Esc does. The
// keys belong to this window alone, not to the main window's commands.
void PreviewWindow::addCloseKeys()
{
    closeKeys_ = new QShortcut(this);
    closeKeys_->setObjectName(QStringLiteral("ClosePreview"));
    closeKeys_->setKeys({QKeySequence(Qt::Key_F5), QKeySequence(Qt::Key_Escape)});
    closeKeys_->setContext(Qt::WindowShortcut);
    connect(closeKeys_, &QShortcut::activated, this, &QWidget::close);
}

void PreviewWindow::setDockChoice(std::optional<bool> docked)
{
    dockChoice_ = docked;
}

// The writer's choice, kept from now on; an open preview moves at once.
void PreviewWindow::dockSwitched(bool docked)
{
    dockChoice_ = docked;
    if (!isVisible())
        return;
    placeIn(docked);
    QString error;
    open(engineFiles_, error);
}

bool PreviewWindow::roomBesideParent() const
{
    const QScreen* screen = mainWindow_->screen();
    return !screen
           || roomBeside(mainWindow_->frameGeometry(), screen->availableGeometry(), narrowestWidth);
}

// Docked, the preview is one more part of the main window: F5 there opens and closes it, and
// Esc closes it from inside it. The engine's views never change windows: the panes go first.
void PreviewWindow::placeIn(bool docked)
{
    if (docked == !isWindow())
        return;
    hide();
    releasePanes();
    if (docked) {
        dock_->addWidget(this);
        const int width = dock_->width();
        dock_->setSizes({width - width * 2 / 5, width * 2 / 5});
        closeKeys_->setKeys({QKeySequence(Qt::Key_Escape)});
        closeKeys_->setContext(Qt::WidgetWithChildrenShortcut);
    } else {
        setParent(mainWindow_, Qt::Window);
        placed_ = false;
        closeKeys_->setKeys({QKeySequence(Qt::Key_F5), QKeySequence(Qt::Key_Escape)});
        closeKeys_->setContext(Qt::WindowShortcut);
    }
    const QSignalBlocker quiet(dockSwitch_);
    dockSwitch_->setChecked(docked);
}

QCheckBox* PreviewWindow::addSwitch(const char* name, const QString& caption)
{
    auto* box = makeCaptioned<QCheckBox>(name, caption, this);
    box->setEnabled(false); // until the diary's own are read
    connect(box, &QCheckBox::toggled, this, &PreviewWindow::switchChanged);
    return box;
}

// The switches shown are the diary's own: read again whenever the diary is another. A diary
// not yet saved has none of its own, and nothing allowed.
void PreviewWindow::followDiarySwitches(const QString& path)
{
    if (path == switchesPath_)
        return;
    switchesPath_ = path;
    switches_ = loadPreviewSwitches(platform_.keyStore, path);
    auto show = [&path](QCheckBox* box, bool on) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
        box->setEnabled(!path.isEmpty());
    };
    show(scriptsSwitch_, switches_.runScripts);
    show(remoteSwitch_, switches_.loadRemote);
    allowInPanes();
}

void PreviewWindow::switchChanged()
{
    switches_ = {scriptsSwitch_->isChecked(), remoteSwitch_->isChecked()};
    if (!savePreviewSwitches(platform_.keyStore, *switchesPath_, switches_))
        platform_.messages.show({QStringLiteral("プレビューの設定を記録できませんでした。"),
                                 appTitle(), MsgButtons::Ok, MsgIcon::Stop});
    allowInPanes();
    refresh();
}

// The panes show their pages anew under what is now allowed.
void PreviewWindow::allowInPanes()
{
    if (!entryView_)
        return;
    for (PageView* view : {entryView_, diaryView_})
        view->allow(switches_);
    shownEntry_.clear();
    shownDiary_.clear();
}

bool PreviewWindow::open(const QStringList& engineFiles, QString& error)
{
    engineFiles_ = engineFiles;
    if (!makePane_) {
        makePane_ = loadPageViewMaker(engineFiles, error);
        if (!makePane_)
            return false;
    }
    placeIn(dockChoice_.value_or(!roomBesideParent()));
    if (!entryView_)
        addPanes();
    show();
    raise();
    keepReadingOrder();
    return true;
}

void PreviewWindow::addPanes()
{
    entryView_ = addPane("EntryView", QStringLiteral("今日の日記（次に挿入される内容）"));
    diaryView_ = addPane("DiaryView", QStringLiteral("日記ファイル（カーソル付近）"));
    // The engine's views ask for no height of their own: without a share of the room the
    // entry's pane would open closed. A third for the entry, two for the diary.
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 2);
    if (switchesPath_)
        allowInPanes();
}

// The pages, their profiles and so the engine's processes that drew them go once control is
// back in the event loop (the close may have come from a key in one of the panes); the panes
// leave the window at once, so that an open before then finds it empty.
void PreviewWindow::releasePanes()
{
    if (!entryView_)
        return;
    for (PageView* view : {entryView_, diaryView_}) {
        QWidget* pane = view->widget()->parentWidget();
        pane->setParent(nullptr);
        pane->deleteLater();
    }
    entryView_ = nullptr;
    diaryView_ = nullptr;
    shownEntry_.clear();
    shownDiary_.clear();
}

// A screen reader reads a window's widgets in the order of their stacking, which the engine's
// panes change as they are first shown: the entry above the diary, each with its caption
// before it.
void PreviewWindow::keepReadingOrder()
{
    QWidget* entry = entryView_->widget();
    QWidget* diary = diaryView_->widget();
    entry->parentWidget()->stackUnder(diary->parentWidget());
    for (QWidget* view : {entry, diary}) {
        if (auto* label = view->parentWidget()->findChild<QLabel*>())
            label->stackUnder(view);
    }
}

PageView* PreviewWindow::addPane(const char* name, const QString& caption)
{
    auto* pane = new QWidget;
    pane->setObjectName(QLatin1String(name).chopped(4) + QStringLiteral("Pane"));
    pane->setAccessibleName(caption);
    PageView* view = makePane_(pane);
    QWidget* widget = view->widget();
    widget->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeFieldLabel(caption, widget, pane));
    layout->addWidget(widget, 1);
    splitter_->addWidget(pane);
    return view;
}

void PreviewWindow::scheduleRefresh()
{
    if (isVisible())
        pause_.start();
}

void PreviewWindow::refresh()
{
    pause_.stop();
    if (!entryView_)
        return;
    const QString path = diaryPath_();
    followDiarySwitches(path);
    const QUrl base = baseFolder(path);
    const QString html = entryHtml_();
    const QString entry = base.toString() + u'\n' + html;
    if (entry != shownEntry_) {
        shownEntry_ = entry;
        entryView_->showPage(html, base, {});
    }
    showDiary(base);
}

// A pane shows its page again only when the page or its base has changed: the engine would
// start it anew, scrolled to the top. The diary part keeps its place while the text around the
// cursor is the same; otherwise it
// shows the cursor's line. Until a diary is open it says so, rather than render the editor's
// request to open one as if it were the diary.
void PreviewWindow::showDiary(const QUrl& base)
{
    const QString html = diaryOpen_() ? excerpt_->around(diary_->textCursor().block(), linesShown,
                                                         linesShown, cursorAnchor)
                                      : noDiaryYet;
    const QString shown = base.toString() + u'\n' + html;
    if (shown == shownDiary_)
        return;
    shownDiary_ = shown;
    PageView* view = diaryView_;
    view->showPage(html, base, [view] { view->runScript(scrollToCursor, {}); });
}

void PreviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!placed_ && isWindow()) {
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
    if (!event->spontaneous()) // closed, not minimised
        releasePanes();
    emit visibilityChanged(false);
}

// Beside the main window, not over it, where the screen has room. The frame of a window not
// yet shown is not known: it is taken to be as thick as the main window's, and at least a title
// bar high where the main window, maximised, shows none, so that the title bar stays on screen.
void PreviewWindow::placeBesideParent()
{
    const QWidget* main = parentWidget();
    const QScreen* screen = main->screen();
    if (!screen)
        return;
    const QRect frame = main->frameGeometry();
    QSize decoration = frame.size() - main->geometry().size();
    if (main->isMaximized())
        decoration.setHeight(
            std::max(decoration.height(), style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    const QRect place =
        placeBeside(frame, size() + decoration, screen->availableGeometry(), narrowestWidth);
    resize(place.size() - decoration);
    move(place.topLeft());
}
