#include "preview/PageView.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <unistd.h>

namespace {

// Chromium refuses a data: address longer than this, and setHtml sends the page as one,
// percent-encoded.
constexpr qsizetype dataUrlLimit = 2 * 1024 * 1024 - 64;

using Request = QWebEngineUrlRequestInfo;

// Every address a pane's page asks for passes here, WebSockets included; a request not let
// through never leaves the engine. A page loads its own pictures, style sheets, fonts and
// media from its diary's folder and data: addresses; pages of the folder in frames only while
// no script could read them; from the internet only pictures and style sheets, and only when
// the writer allows it (with scripts too when those run). Nothing else: no local file is read
// by a script, no file outside the folder shown, no other host reached.
class RequestGuard final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void setFolder(const QUrl& base)
    {
        const QString path =
            base.isLocalFile() ? QDir(base.toLocalFile()).canonicalPath() : QString();
        folder_ = path.isEmpty() ? QString() : path + u'/';
    }
    void setSwitches(const PreviewSwitches& switches) { switches_ = switches; }

    void interceptRequest(Request& info) override
    {
        info.block(!allowed(info.requestUrl(), info.resourceType()));
    }

private:
    bool allowed(const QUrl& url, Request::ResourceType type) const
    {
        if (url.scheme() == u"data")
            return true;
        if (url.isLocalFile())
            return insideFolder(url) && allowedFromFolder(type);
        if (url.scheme() == u"http" || url.scheme() == u"https")
            return switches_.loadRemote && allowedFromInternet(type);
        return false;
    }

    bool allowedFromFolder(Request::ResourceType type) const
    {
        switch (type) {
        case Request::ResourceTypeStylesheet:
        case Request::ResourceTypeImage:
        case Request::ResourceTypeFontResource:
        case Request::ResourceTypeMedia: return true;
        case Request::ResourceTypeSubFrame: return !switches_.runScripts;
        case Request::ResourceTypeScript: return switches_.runScripts;
        default: return false;
        }
    }

    bool allowedFromInternet(Request::ResourceType type) const
    {
        return type == Request::ResourceTypeImage || type == Request::ResourceTypeStylesheet
               || (type == Request::ResourceTypeScript && switches_.runScripts);
    }

    // The file itself, links followed, lies in the folder: a link in the folder may lead out.
    bool insideFolder(const QUrl& url) const
    {
        if (folder_.isEmpty() || !url.host().isEmpty())
            return false;
        const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
        return !path.isEmpty() && path.startsWith(folder_);
    }

    QString folder_;
    PreviewSwitches switches_;
};

// A page that stays what the pane was given: links, forms, redirects and the page's own
// scripts do not replace it, and what it asks for (the camera, notifications, the clipboard, a
// place) is refused without asking the writer.
class StayingPage final : public QWebEnginePage {
public:
    StayingPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
    {
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl& origin, Feature feature) {
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
                });
    }

protected:
    bool acceptNavigationRequest(const QUrl& /*url*/, NavigationType type,
                                 bool isMainFrame) override
    {
        return !isMainFrame || type == NavigationTypeTyped;
    }
};

// What no preview page may do, whatever the switches. Local content keeps its access to file:
// addresses: without it the engine (6.4) loads not even the diary's own pictures and style
// sheets; the guard refuses the reads instead.
void forbid(QWebEngineSettings* settings)
{
    using S = QWebEngineSettings;
    for (const S::WebAttribute attribute :
         {S::JavascriptCanOpenWindows, S::JavascriptCanAccessClipboard, S::PluginsEnabled,
          S::PdfViewerEnabled, S::DnsPrefetchEnabled, S::HyperlinkAuditingEnabled,
          S::NavigateOnDropEnabled, S::ErrorPageEnabled, S::LocalStorageEnabled})
        settings->setAttribute(attribute, false);
}

// A JavaScript string literal holding `text`.
QString scriptString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

class WebPageView final : public QWebEngineView, public PageView {
public:
    // The pane has a profile of its own, kept in memory only, that its guard watches. The page
    // is made its child before the profile is: children go in the order they came, and the
    // engine wants a page gone before its profile.
    explicit WebPageView(QWidget* parent) : QWebEngineView(parent)
    {
        auto* profile = new QWebEngineProfile;
        guard_ = new RequestGuard(profile);
        profile->setUrlRequestInterceptor(guard_);
        setPage(new StayingPage(profile, this));
        profile->setParent(this);
        forbid(page()->settings());
        allow({});
        setContextMenuPolicy(Qt::NoContextMenu);
        connect(this, &QWebEngineView::loadFinished, this, &WebPageView::loaded);
    }

    QWidget* widget() override { return this; }

    void allow(const PreviewSwitches& switches) override
    {
        guard_->setSwitches(switches);
        QWebEngineSettings* settings = page()->settings();
        settings->setAttribute(QWebEngineSettings::JavascriptEnabled, switches.runScripts);
        // Without it the engine asks the internet for nothing from a page with a local base.
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls,
                               switches.loadRemote);
    }

    // A page too long for a data: address is written into an empty page with the same base.
    void showPage(const QString& html, const QUrl& base, std::function<void()> shown) override
    {
        shown_ = std::move(shown);
        guard_->setFolder(base);
        const bool fits = html.toUtf8().toPercentEncoding().size() < dataUrlLimit;
        written_ = fits ? QString() : html;
        setHtml(fits ? html : QString(), base);
    }

    void runScript(const QString& script, std::function<void(const QVariant&)> result) override
    {
        page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                              [result = std::move(result)](const QVariant& value) {
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

    RequestGuard* guard_;
    QString written_;
    std::function<void()> shown_;
};

// Read by the engine when it starts, with the first pane. WebRTC sends its packets (STUN, to
// any host a script names) past the request guard; without a proxy this sends none. On Linux
// the engine gives a screen reader the pages' content (headings, paragraphs, their text) only
// when told it may; it then builds that tree only while accessibility is active.
void prepareEngine()
{
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    // The engine's helper processes cannot start in Chromium's sandbox as root (the engine would
    // end the program); for root they run without it.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const QByteArray noUdp = "--force-webrtc-ip-handling-policy=disable_non_proxied_udp";
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains(noUdp))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + ' ' + noUdp).trimmed());
}

} // namespace

extern "C" Q_DECL_EXPORT PageView* pelmoraMakePageView(QWidget* parent)
{
    prepareEngine();
    return new WebPageView(parent);
}
