#pragma once

#include <QComboBox>

// An editable drop-down list whose selected item says where its text came from: choosing an
// item from the list selects it, while typing (or emptying the box) leaves no item selected,
// even when the typed text equals an item. Enter never adds the text to the list and nothing is
// completed inline.
class ItemComboBox : public QComboBox {
    Q_OBJECT
public:
    ItemComboBox(const QStringList& items, QWidget* parent = nullptr);

    // Selects the item (its text shows) or, with -1, no item and an empty text.
    void selectItem(int index);
    // Sets the text shown without changing the selected item.
    void setTextKeepingItem(const QString& text);

private:
    void typed(const QString& text);
};
