#pragma once

#include "preview/PreviewSwitches.h"

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
    // What the pages shown from now on may do. Whatever the switches, a page never reads a local
    // file, navigates, opens a window or asks for a permission, and it loads no file outside the
    // folder of its base.
    virtual void allow(const PreviewSwitches& switches) = 0;
    // Shows `html` (a page of any size), with its relative links (style sheets, pictures)
    // resolved against `base`, a folder; `shown` runs once the engine has the page.
    virtual void showPage(const QString& html, const QUrl& base, std::function<void()> shown) = 0;
    // Runs a script of the program's own in the page shown, whether or not the page's scripts
    // run, and hands its value to `result`.
    virtual void runScript(const QString& script, std::function<void(const QVariant&)> result) = 0;
};

// The library's only entry: a new pane in `parent`.
using MakePageView = PageView* (*)(QWidget* parent);
inline constexpr char makePageViewName[] = "pelmoraMakePageView";
