#pragma once

#include "platform/Platform.h"
#include "preview/PageView.h"
#include "preview/PreviewSwitches.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class DiaryExcerpt;
class QCheckBox;
class QPlainTextEdit;
class QShortcut;
class QSplitter;

// The window beside the main window that shows, as a browser engine renders them: today's
// entry as the next insertion would write it, and the diary around AllMemo's cursor. It follows
// changes after a short pause. It is not modal. Where the screen has no room beside the main
// window (a maximised one), or where the writer wants it, it sits inside the main window beside
// its tabs instead, rather than cover the diary. The engine is loaded when the window is first
// opened; closing the window (F5 and Esc too) lets its pages go, and with them the engine's
// processes that drew them and their memory, until it is opened again. Two switches above the
// panes, kept for each diary, let the diary's scripts run and its pictures and style sheets load
// from the internet.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    // entryHtml gives today's entry as it would be inserted; diaryOpen whether the diary editor
    // holds a diary (rather than the text asking for one); diaryPath the diary's file (empty for
    // a diary not yet saved), whose folder links and pictures are found from and whose switches
    // are kept in platform's key store.
    // The window docks into `dock` (beside the main window's tabs) when the writer chose so, or,
    // without a choice, when the screen has no room beside the main window, `parent`.
    PreviewWindow(std::function<QString()> entryHtml, QPlainTextEdit* diary,
                  std::function<bool()> diaryOpen, std::function<QString()> diaryPath,
                  Platform platform, QSplitter* dock, QWidget* parent);

    // Shows the window with the engine's panes, made by the first of `engineFiles` that loads
    // (looked for the first time only). False, with what went wrong in `error`, when none loads;
    // the window then stays closed.
    bool open(const QStringList& engineFiles, QString& error);

    // Whether the writer wants the preview inside the main window (true), in a window of its own
    // (false), or has not chosen (none). Read at start, kept at close.
    void setDockChoice(std::optional<bool> docked);
    std::optional<bool> dockChoice() const { return dockChoice_; }

    // Shows the texts again once nothing has changed for a short while.
    void scheduleRefresh();
    // Shows the texts now.
    void refresh();

    // The panes while the window is open (null otherwise): for the tests and the preview
    // benchmark, which read what the engine shows.
    PageView* entryView() const { return entryView_; }
    PageView* diaryView() const { return diaryView_; }

signals:
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void addPanes();
    PageView* addPane(const char* name, const QString& caption);
    void releasePanes();
    void addCloseKeys();
    bool roomBesideParent() const;
    void placeIn(bool docked);
    void dockSwitched(bool docked);
    QCheckBox* addSwitch(const char* name, const QString& caption);
    void followDiarySwitches(const QString& path);
    void switchChanged();
    void allowInPanes();
    void keepReadingOrder();
    void placeBesideParent();
    void showDiary(const QUrl& base);

    std::function<QString()> entryHtml_;
    QPlainTextEdit* diary_;
    std::function<bool()> diaryOpen_;
    std::function<QString()> diaryPath_;
    Platform platform_;
    DiaryExcerpt* excerpt_;
    QSplitter* splitter_;
    QCheckBox* scriptsSwitch_;
    QCheckBox* remoteSwitch_;
    QCheckBox* dockSwitch_;
    QSplitter* dock_;
    QWidget* mainWindow_;
    QShortcut* closeKeys_ = nullptr;
    std::optional<bool> dockChoice_;
    QStringList engineFiles_;
    PreviewSwitches switches_;
    std::optional<QString> switchesPath_; // the diary whose switches are shown, once read
    MakePageView makePane_ = nullptr;
    PageView* entryView_ = nullptr;
    PageView* diaryView_ = nullptr;
    QString shownEntry_;
    QString shownDiary_;
    QTimer pause_;
    bool placed_ = false;
};
