#include "preview/PageView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <unistd.h>

namespace {

// Chromium refuses a data: address longer than this, and setHtml sends the page as one,
// percent-encoded.
constexpr qsizetype dataUrlLimit = 2 * 1024 * 1024 - 64;

// A page whose links do not lead anywhere: a click must not replace what the pane shows.
class StayingPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& /*url*/, NavigationType type,
                                 bool /*isMainFrame*/) override
    {
        return type != NavigationTypeLinkClicked;
    }
};

// A JavaScript string literal holding `text`.
QString scriptString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

class WebPageView final : public QWebEngineView, public PageView {
public:
    explicit WebPageView(QWidget* parent) : QWebEngineView(parent)
    {
        setPage(new StayingPage(this));
        setContextMenuPolicy(Qt::NoContextMenu);
        connect(this, &QWebEngineView::loadFinished, this, &WebPageView::loaded);
    }

    QWidget* widget() override { return this; }

    // A page too long for a data: address is written into an empty page with the same base.
    void showPage(const QString& html, const QUrl& base, std::function<void()> shown) override
    {
        shown_ = std::move(shown);
        const bool fits = html.toUtf8().toPercentEncoding().size() < dataUrlLimit;
        written_ = fits ? QString() : html;
        setHtml(fits ? html : QString(), base);
    }

    void runScript(const QString& script, std::function<void(const QVariant&)> result) override
    {
        page()->runJavaScript(script, [result = std::move(result)](const QVariant& value) {
            if (result)
                result(value);
        });
    }

private:
    void loaded()
    {
        if (!written_.isEmpty()) {
            const QString script = QStringLiteral("document.open();document.write(%1);"
                                                  "document.close();")
                                       .arg(scriptString(written_));
            written_.clear();
            runScript(script, [this](const QVariant&) { tellShown(); });
            return;
        }
        tellShown();
    }

    void tellShown()
    {
        if (shown_)
            shown_();
    }

    QString written_;
    std::function<void()> shown_;
};

} // namespace

// The engine's helper processes cannot start in Chromium's sandbox as root (the engine would
// end the program); for root they run without it.
extern "C" Q_DECL_EXPORT PageView* pelmoraMakePageView(QWidget* parent)
{
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return new WebPageView(parent);
}
