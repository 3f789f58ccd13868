#pragma once

#include <QString>

class QPlainTextEdit;
class QPushButton;
class QWidget;

// Controls made the one way the program makes them: named (objectName) as the design names them,
// with their hint as tooltip and their caption as the name a screen reader reads.
QPushButton* makeButton(const char* name, const QString& caption, const QString& hint,
                        QWidget* parent);
// A multi-line editor with both scroll bars and no wrapping, in the editors' default face.
QPlainTextEdit* makeMemo(const char* name, const QString& accessibleName, QWidget* parent);
