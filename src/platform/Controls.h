#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QString>
#include <QStyle>

#include <initializer_list>
#include <utility>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// Names for screen readers, one rule for every window. A control (a field, a button, a box) is
// named after its caption or the label beside it, without the access key and without the colon
// that ends a label. A display (a label that shows a value, a file name, a preview) has no name
// of its own: a screen reader hears the text it shows, always the current one, and what it is
// as its description.
QString spokenName(QString caption);
void nameControl(QWidget* control, const QString& caption);
void describeDisplay(QLabel* display, const QString& caption);
// The label beside a field: its access key gives the field the focus, and the field is named
// after it.
QLabel* makeFieldLabel(const QString& caption, QWidget* field, QWidget* parent);

// Controls made the one way the program makes them: named (objectName) as the design names them,
// with their hint as tooltip and their caption as the name a screen reader reads.
QPushButton* makeButton(const char* name, const QString& caption, const QString& hint,
                        QWidget* parent);
// A control that shows its caption (a radio button, a check box, a group box), named as the
// design names it and, for a screen reader, after its caption.
template <typename Control>
Control* makeCaptioned(const char* name, const QString& caption, QWidget* parent)
{
    auto* control = new Control(caption, parent);
    control->setObjectName(QLatin1String(name));
    nameControl(control, caption);
    return control;
}
// A multi-line editor with both scroll bars and no wrapping, in the editors' default face. Tab
// moves on to the next control, so the keyboard alone never gets stuck in it.
QPlainTextEdit* makeMemo(const char* name, const QString& accessibleName, QWidget* parent);
// A label named as the design names it, showing its text as typed (never as markup).
QLabel* makeLabel(const char* name, const QString& text, QWidget* parent);
// Moves the window to the middle of the screen it is on.
void centreOnScreen(QWidget* window);
// A label that shows the style's standard picture at the given size.
// One of the style's standard icons for a button. The style draws each in three sizes and
// decodes all three when asked for the icon; a button at its usual size needs only the 16-pixel
// one, so the others are read only when another size or a disabled picture is first drawn.
QIcon buttonIcon(QStyle::StandardPixmap which);
QLabel* makePictureLabel(const char* name, QStyle::StandardPixmap which, int size, QWidget* parent);
// The row of a window's closing buttons (OK, Cancel and the like) at its right edge, each
// with the role it plays; the platform orders the roles (OK before Cancel on Windows and KDE,
// after it on GNOME) and Tab follows that order.
using ClosingButton = std::pair<QPushButton*, QDialogButtonBox::ButtonRole>;
QDialogButtonBox* makeButtonBox(std::initializer_list<ClosingButton> buttons, QWidget* parent);

// A window of the program that it shows on demand. Each time the program shows it (not when
// the window system shows it again after it was minimised) it runs FormShow() to bring its
// controls up to date, and then, placed at the screen's centre, moves there.
class FormDialog : public QDialog {
    Q_OBJECT
public:
    enum class Placement {
        ScreenCentre, // in the middle of the screen it is on
        AsIs,         // where the window system or its own FormShow() puts it
    };

protected:
    explicit FormDialog(QWidget* parent, Qt::WindowFlags flags = {},
                        Placement placement = Placement::ScreenCentre);

    // Runs at every showing, before the window appears.
    virtual void FormShow() {}
    void showEvent(QShowEvent* event) override;

private:
    Placement placement_;
};
