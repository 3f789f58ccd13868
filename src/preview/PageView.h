#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWidget;

// One pane of the preview: an HTML page as a browser engine shows it. The engine lives in a
// library of its own, loaded only when the preview is first opened, so the program does not
// carry the engine's libraries at start; the library hands out its panes through one plain C
// function, named below.
class PageView {
public:
    virtual ~PageView() = default;

    // The widget that shows the page, owned by the parent it was made with.
    virtual QWidget* widget() = 0;
    // Shows `html` (a page of any size), with its relative links (style sheets, pictures)
    // resolved against `base`; `shown` runs once the engine has the page.
    virtual void showPage(const QString& html, const QUrl& base, std::function<void()> shown) = 0;
    // Runs a script in the page shown and hands its value to `result`.
    virtual void runScript(const QString& script, std::function<void(const QVariant&)> result) = 0;
};

// The library's only entry: a new pane in `parent`.
using MakePageView = PageView* (*)(QWidget* parent);
inline constexpr char makePageViewName[] = "pelmoraMakePageView";
