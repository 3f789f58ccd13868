#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class ErrorHandler;
class QAbstractButton;
class QAction;
class QMenu;
class QMenuBar;
class QPushButton;
class QWidget;

// One row of a menu, in the order the menu shows them. A submenu row puts a submenu at its place
// in the menu; rows naming it as `in` fill it. A separator row is a line.
struct CommandRow {
    enum class Kind { Submenu, Separator, Command };
    Kind kind;
    const char* name; // the objectName of the item
    QString caption = {};
    QList<QKeySequence> keys = {};
    std::function<void()> run = {};
    // When the item is offered; an item without a rule is always enabled.
    std::function<bool()> offered = {};
    const char* in = nullptr; // a submenu's name, for the rows that fill it
    bool checkable = false;
    // The buttons of the tabs that give the same command: a click runs what the item runs. For a
    // submenu, push buttons that open it, enabled whenever its item is.
    QList<QAbstractButton*> buttons = {};
};

// The main window's menus and commands, built from the features' rows. The main window lays out
// the bar: its menus, and in each the named slots the features fill, in order. Each feature adds
// its rows to its slots; build() then makes the menus. Every command runs under the general error
// handler: an error it does not handle itself is shown and the program goes on.
class CommandTable : public QObject {
    Q_OBJECT
public:
    CommandTable(QMenuBar* bar, QObject* owner, ErrorHandler& errors);

    // Lays out a menu at the end of the bar, with its slots in the order the menu shows them.
    void addMenu(const char* name, const QString& caption, const QList<const char*>& slotNames);
    // Adds rows at the end of a slot.
    void addRows(const char* slot, const QList<CommandRow>& rows);
    // Makes the menus and their items (which belong to `owner`) from the slots' rows, and binds
    // the rows' buttons. Each item with a rule is enabled as its rule says now.
    void build();
    // Enables or disables every item that has a rule each time the sender sends the signal: a
    // state the rules read announces its change with it.
    template <typename Sender, typename Signal> void recheckOn(const Sender* sender, Signal signal)
    {
        connect(sender, signal, this, &CommandTable::updateStates);
    }
    // The item of a command or submenu row, by its name.
    QAction* action(const char* name) const;
    // A button of a tab that gives the same command as an item: a click runs what the item runs.
    void bindButton(QAbstractButton* button, const char* name);
    // A button with a command of its own, not in any menu, run under the error handler too.
    void bindOwnButton(QAbstractButton* button, std::function<void()> run);
    // A control of a tab whose state has a rule of its own beside the items' (a button that is
    // offered otherwise than its item): enabled as the rule says, re-checked with the others.
    void enableWhen(QWidget* control, std::function<bool()> offered);
    // While the item is not offered its tip says why, and where it works.
    void explainWhenOff(const char* name, const QString& why);

private:
    void updateStates();
    struct MenuLayout {
        const char* name;
        QString caption;
        QList<const char*> slotNames;
    };

    void fillMenu(QMenu* menu, const QList<CommandRow>& rows);
    QMenu* addSubmenu(const CommandRow& row, QMenu* menu);
    QAction* addCommand(const CommandRow& row, QMenu* menu);
    void bindMenuButton(QAbstractButton* button, const char* submenu);

    QMenuBar* bar_;
    QObject* owner_;
    ErrorHandler& errors_;
    QList<MenuLayout> layout_;
    QHash<QString, QList<CommandRow>> slots_;
    QHash<QString, QMenu*> submenus_;
    QHash<QString, QAction*> actions_;
    QHash<QAction*, std::function<void()>> runs_;
    QList<std::pair<QAction*, std::function<bool()>>> rules_;
    QList<std::pair<QWidget*, std::function<bool()>>> controlRules_;
    QHash<QAction*, QString> whyNot_;
};
