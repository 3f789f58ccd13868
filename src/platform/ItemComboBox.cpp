#include "platform/ItemComboBox.h"

#include <QLineEdit>
#include <QSignalBlocker>

ItemComboBox::ItemComboBox(const QStringList& items, QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    addItems(items);
    setCurrentIndex(-1);
    // QComboBox looks the typed text up in its list when the field loses the focus or Enter is
    // pressed, and selects a matching item: a typed text must stay a typed text.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &ItemComboBox::typed);
}

void ItemComboBox::selectItem(int index)
{
    setCurrentIndex(index);
    // Selecting the item already selected does not restore its text by itself.
    setEditText(index >= 0 ? itemText(index) : QString());
}

void ItemComboBox::setTextKeepingItem(const QString& text)
{
    setEditText(text);
}

void ItemComboBox::typed(const QString& text)
{
    if (currentIndex() < 0)
        return;
    const int cursor = lineEdit()->cursorPosition();
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(-1); // also empties the field
    }
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}
