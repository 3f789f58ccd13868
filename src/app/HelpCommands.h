#pragma once

#include "platform/Platform.h"

#include <QObject>

#include <functional>

class CommandTable;
class GuideWindow;
class TodayEntryTab;
class Windows;
class QWidget;
struct MainState;

// The help menu: the version, the guide, the operation advice of the tab in front and the link to
// users' diaries; and the first tab's hint button, which gives that tab's advice.
class HelpCommands : public QObject {
    Q_OBJECT
public:
    HelpCommands(const MainState& state, TodayEntryTab* today, Platform platform, Windows& windows,
                 std::function<void()> refocusEditor, QWidget* window);

    // Adds the rows to the slot "Help" and binds the hint button.
    void addCommands(CommandTable& table);

    void HelpBtnClick();
    void HelpGuideClick();
    void HelpAdviceClick();
    void HelpDonotmindClick();
    void UseHintBtnClick();

private:
    const MainState& state_;
    TodayEntryTab* today_;
    Platform platform_;
    Windows& windows_;
    std::function<void()> refocusEditor_;
    QWidget* window_;
    GuideWindow* guide_ = nullptr;
};
