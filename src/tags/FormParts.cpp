#include "tags/FormParts.h"

#include "platform/Controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace tags {

QLineEdit* fieldEdit(const char* name, int minimumChars, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * minimumChars);
    return edit;
}

void addLabelled(QGridLayout* grid, int row, const QString& caption, QLineEdit* edit, int columns)
{
    grid->addWidget(makeFieldLabel(caption, edit, edit->parentWidget()), row, 0, Qt::AlignRight);
    grid->addWidget(edit, row, 1, 1, columns);
}

QLabel* guidance(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* plainButton(const char* name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    nameControl(button, caption);
    button->setAutoDefault(false);
    return button;
}

} // namespace tags
