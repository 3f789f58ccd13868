#pragma once

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <utility>

class CommandTable;
class QPlainTextEdit;
class QWidget;
class TAppSetForm;
struct MainState;

// The application settings: the settings menu's "動作設定" with the window it shows, the stored
// font put on the two editors at start, and the settings written at close.
class SettingsCommands : public QObject {
    Q_OBJECT
public:
    SettingsCommands(MainState& state, QPlainTextEdit* todayMemo, QPlainTextEdit* allMemo,
                     Platform platform, std::function<TAppSetForm&()> window,
                     std::function<void()> refocusEditor, QObject* parent);

    // Adds the row to the slot "Set.Work".
    void addCommands(CommandTable& table);
    // The stored size and face go on TodayMemo; AllMemo always shows the same font.
    void applyEditorFont();
    // The window comes back where it was when it last closed, unless that place no longer fits
    // on any screen (one was taken away, or made smaller); then it stays as on the first run.
    void restoreWindowPlace(QWidget* window, const QHash<QString, QString>& others);
    // The window's place as the settings keep it.
    static std::pair<QString, QString> windowPlace(const QWidget* window);
    // Writes the values, the font as TodayMemo shows it, and the features' other choices.
    void save(const QList<std::pair<QString, QString>>& others);

    void AppSetBtnClick();

private:
    MainState& state_;
    QPlainTextEdit* todayMemo_;
    QPlainTextEdit* allMemo_;
    Platform platform_;
    std::function<TAppSetForm&()> window_;
    std::function<void()> refocusEditor_;
    bool fontSetByWriter_ = false; // OK in the settings window during this run
};
