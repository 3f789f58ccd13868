#pragma once

#include <QString>
#include <QVariant>

class PageView;

// The value of `script` in the page a preview pane shows, once it is true of the page that
// `ready` (a script) holds; an invalid value when the engine gives none within 30 s.
QVariant pageValue(PageView* view, const QString& ready, const QString& script);

// The text the pane shows, as the engine lays it out (document.body.innerText), once it shows
// a page that holds `expected`; as it stands after 30 s otherwise.
QString shownText(PageView* view, const QString& expected);
