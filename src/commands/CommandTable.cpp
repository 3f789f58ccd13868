#include "commands/CommandTable.h"

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

void CommandTable::addMenu(const char* name, const QString& caption,
                           const QList<const char*>& slotNames)
{
    layout_.append({name, caption, slotNames});
}

void CommandTable::addRows(const char* slot, const QList<CommandRow>& rows)
{
    slots_[QLatin1String(slot)].append(rows);
}

void CommandTable::build()
{
    for (const MenuLayout& layout : std::as_const(layout_)) {
        QMenu* menu = bar_->addMenu(layout.caption);
        menu->setObjectName(QLatin1String(layout.name));
        menu->setToolTipsVisible(true); // only items given a tip of their own show one
        for (const char* slot : layout.slotNames)
            fillMenu(menu, slots_.take(QLatin1String(slot)));
    }
    Q_ASSERT(slots_.isEmpty()); // every slot's rows have a place
    updateStates();
}

void CommandTable::fillMenu(QMenu* menu, const QList<CommandRow>& rows)
{
    for (const CommandRow& row : rows) {
        QMenu* in = row.in ? submenus_.value(QLatin1String(row.in)) : menu;
        switch (row.kind) {
        case CommandRow::Kind::Submenu: addSubmenu(row, in); break;
        case CommandRow::Kind::Separator:
            in->addSeparator()->setObjectName(QLatin1String(row.name));
            break;
        case CommandRow::Kind::Command: addCommand(row, in); break;
        }
    }
}

// A submenu's item carries the row's name, the submenu itself not.
QMenu* CommandTable::addSubmenu(const CommandRow& row, QMenu* menu)
{
    const QString name = QLatin1String(row.name);
    QMenu* submenu = menu->addMenu(row.caption);
    QAction* item = submenu->menuAction();
    item->setObjectName(name);
    actions_.insert(name, item);
    submenus_.insert(name, submenu);
    if (row.offered)
        rules_.append({item, row.offered});
    for (QAbstractButton* button : row.buttons)
        bindMenuButton(button, row.name);
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
    for (QAbstractButton* button : row.buttons)
        bindButton(button, row.name);
    return action;
}

QAction* CommandTable::action(const char* name) const
{
    return actions_.value(QLatin1String(name));
}

void CommandTable::bindButton(QAbstractButton* button, const char* name)
{
    bindOwnButton(button, runs_.value(action(name)));
}

void CommandTable::bindOwnButton(QAbstractButton* button, std::function<void()> run)
{
    connect(button, &QAbstractButton::clicked, this,
            [this, run = std::move(run)] { errors_.run([&] { run(); }); });
}

// The button shows the submenu when clicked, and is enabled whenever the submenu's item is.
void CommandTable::bindMenuButton(QAbstractButton* button, const char* submenu)
{
    auto* push = qobject_cast<QPushButton*>(button);
    Q_ASSERT(push);
    QAction* item = action(submenu);
    push->setMenu(submenus_.value(QLatin1String(submenu)));
    push->setEnabled(item->isEnabled());
    connect(item, &QAction::changed, push, [push, item] { push->setEnabled(item->isEnabled()); });
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
