#pragma once

#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small builders shared by the three tag windows.
namespace tags {

// A single-line field that takes text of any length (a line edit stops at 32767 characters
// unless told otherwise), named as the design names it.
QLineEdit* fieldEdit(const char* name, int minimumChars, QWidget* parent);

// Puts a field with its label into the grid (label in the first column, the field over the
// next `columns`); the label's access key focuses the field.
void addLabelled(QGridLayout* grid, int row, const QString& caption, QLineEdit* edit,
                 int columns = 1);

// A line of guidance text, shown as typed.
QLabel* guidance(const QString& text, QWidget* parent);

// A push button that never takes Enter from the window's default button.
QPushButton* plainButton(const char* name, const QString& caption, QWidget* parent);

} // namespace tags
