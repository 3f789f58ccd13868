#include "app/CommandTable.h"

#include "core/ErrorHandler.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

CommandTable::CommandTable(QMenuBar* bar, QObject* owner, ErrorHandler& errors)
    : QObject(owner), bar_(bar), owner_(owner), errors_(errors)
{
}

void CommandTable::build(const QList<CommandRow>& rows)
{
    QMenu* current = nullptr;
    for (const CommandRow& row : rows) {
        QMenu* menu = row.in ? submenus_.value(QLatin1String(row.in)) : current;
        switch (row.kind) {
        case CommandRow::Kind::Menu: current = addMenu(row, nullptr); break;
        case CommandRow::Kind::Submenu: addMenu(row, menu); break;
        case CommandRow::Kind::Separator:
            menu->addSeparator()->setObjectName(QLatin1String(row.name));
            break;
        case CommandRow::Kind::Command: addCommand(row, menu); break;
        }
    }
    updateStates();
}

// A menu of the bar carries the row's name; a submenu's item does, the submenu itself not.
QMenu* CommandTable::addMenu(const CommandRow& row, QMenu* current)
{
    const QString name = QLatin1String(row.name);
    if (!current) {
        QMenu* menu = bar_->addMenu(row.caption);
        menu->setObjectName(name);
        menu->setToolTipsVisible(true); // only items given a tip of their own show one
        return menu;
    }
    QMenu* submenu = current->addMenu(row.caption);
    QAction* item = submenu->menuAction();
    item->setObjectName(name);
    actions_.insert(name, item);
    submenus_.insert(name, submenu);
    if (row.offered)
        rules_.append({item, row.offered});
    return submenu;
}

QAction* CommandTable::addCommand(const CommandRow& row, QMenu* menu)
{
    auto* action = new QAction(row.caption, owner_);
    action->setObjectName(QLatin1String(row.name));
    action->setShortcuts(row.keys);
    action->setCheckable(row.checkable);
    menu->addAction(action);
    actions_.insert(action->objectName(), action);
    runs_.insert(action, row.run);
    if (row.offered)
        rules_.append({action, row.offered});
    connect(action, &QAction::triggered, this,
            [this, run = row.run] { errors_.run([&] { run(); }); });
    return action;
}

QAction* CommandTable::action(const char* name) const
{
    return actions_.value(QLatin1String(name));
}

void CommandTable::bindButton(QAbstractButton* button, const char* name)
{
    connect(button, &QAbstractButton::clicked, this,
            [this, run = runs_.value(action(name))] { errors_.run([&] { run(); }); });
}

void CommandTable::bindMenuButton(QPushButton* button, const char* submenu)
{
    QAction* item = action(submenu);
    button->setMenu(submenus_.value(QLatin1String(submenu)));
    button->setEnabled(item->isEnabled());
    connect(item, &QAction::changed, button,
            [button, item] { button->setEnabled(item->isEnabled()); });
}

void CommandTable::enableWhen(QWidget* control, std::function<bool()> offered)
{
    control->setEnabled(offered());
    controlRules_.append({control, std::move(offered)});
}

void CommandTable::explainWhenOff(const char* name, const QString& why)
{
    whyNot_.insert(action(name), why);
    updateStates();
}

void CommandTable::updateStates()
{
    for (const auto& [action, offered] : rules_) {
        action->setEnabled(offered());
        if (whyNot_.contains(action))
            action->setToolTip(action->isEnabled() ? QString() : whyNot_.value(action));
    }
    for (const auto& [control, offered] : controlRules_)
        control->setEnabled(offered());
}
