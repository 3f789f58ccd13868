#include "support/TodayControls.h"

#include "entry/TodayEntry.h"
#include "platform/ItemComboBox.h"
#include "platform/UpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <ostream>

namespace {

template <typename Control> Control* named(const QWidget* tab, const char* name)
{
    auto* control = tab->findChild<Control*>(QLatin1String(name));
    if (!control)
        qFatal("The first tab has no control named %s", name);
    return control;
}

} // namespace

TodayControls::TodayControls(const QWidget* tab)
    : YearEdit(named<QLineEdit>(tab, "YearEdit")), MonthEdit(named<QLineEdit>(tab, "MonthEdit")),
      DateEdit(named<QLineEdit>(tab, "DateEdit")), YearUpDown(named<UpDown>(tab, "YearUpDown")),
      MonthUpDown(named<UpDown>(tab, "MonthUpDown")), DateUpDown(named<UpDown>(tab, "DateUpDown")),
      DayBox(named<ItemComboBox>(tab, "DayBox")),
      WeatherBox(named<ItemComboBox>(tab, "WeatherBox")),
      DeleteBtn(named<QPushButton>(tab, "DeleteBtn")),
      AddTitleBtn(named<QPushButton>(tab, "AddTitleBtn")), BRBtn(named<QPushButton>(tab, "BRBtn")),
      UseHintBtn(named<QPushButton>(tab, "UseHintBtn")),
      PanelDiaryTitle(named<QLabel>(tab, "PanelDiaryTitle")),
      TodayMemo(named<QPlainTextEdit>(tab, "TodayMemo")),
      WorkMemo(named<QPlainTextEdit>(tab, "WorkMemo"))
{
}

void PrintTo(const TodayEntry& entry, std::ostream* out)
{
    *out << '{' << qUtf8Printable(entry.year) << '/' << qUtf8Printable(entry.month) << '/'
         << qUtf8Printable(entry.day) << " weekday \"" << qUtf8Printable(entry.weekdayText)
         << "\" #" << entry.weekdayItem << " weather \"" << qUtf8Printable(entry.weatherText)
         << "\" #" << entry.weatherItem << " title \"" << qUtf8Printable(entry.title)
         << "\" caption \"" << qUtf8Printable(entry.titleCaption) << '"'
         << (entry.titleShown ? " shown" : " hidden") << " body \"" << qUtf8Printable(entry.body)
         << '"' << (entry.bodyModified ? " modified" : "") << '}';
}
