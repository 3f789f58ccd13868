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

// One row of the menu bar's table, in the order the bar shows them. A menu row starts a menu of
// the bar; the rows after it, up to the next menu row, fill it. A submenu row puts a submenu at
// its place in the current menu; rows naming it as `in` fill it. A separator row is a line.
struct CommandRow {
    enum class Kind { Menu, Submenu, Separator, Command };
    Kind kind;
    const char* name; // the objectName of the menu, or of the item
    QString caption = {};
    QList<QKeySequence> keys = {};
    std::function<void()> run = {};
    // When the item is offered; an item without a rule is always enabled.
    std::function<bool()> offered = {};
    const char* in = nullptr; // a submenu's name, for the rows that fill it
    bool checkable = false;
};

// The main window's menus and commands, built from one table. Every command runs under the
// general error handler: an error it does not handle itself is shown and the program goes on.
class CommandTable : public QObject {
    Q_OBJECT
public:
    CommandTable(QMenuBar* bar, QObject* owner, ErrorHandler& errors);

    // Builds the menus and items of the rows onto the menu bar; the items belong to `owner`.
    // Each item with a rule is enabled as its rule says now.
    void build(const QList<CommandRow>& rows);
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
    // A button of a tab that opens a submenu: a click shows the submenu, and the button is
    // enabled whenever the submenu's item is.
    void bindMenuButton(QPushButton* button, const char* submenu);
    // A control of a tab whose state has a rule of its own beside the items' (a button that is
    // offered otherwise than its item): enabled as the rule says, re-checked with the others.
    void enableWhen(QWidget* control, std::function<bool()> offered);
    // While the item is not offered its tip says why, and where it works.
    void explainWhenOff(const char* name, const QString& why);

private:
    void updateStates();
    QMenu* addMenu(const CommandRow& row, QMenu* current);
    QAction* addCommand(const CommandRow& row, QMenu* menu);

    QMenuBar* bar_;
    QObject* owner_;
    ErrorHandler& errors_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> submenus_;
    QHash<QAction*, std::function<void()>> runs_;
    QList<std::pair<QAction*, std::function<bool()>>> rules_;
    QList<std::pair<QWidget*, std::function<bool()>>> controlRules_;
    QHash<QAction*, QString> whyNot_;
};
