#include "app/PelmoraApplication.h"

#include "app/AppInfo.h"
#include "app/ErrorHandler.h"
#include "app/TExpForm.h"
#include "app/THelpVerForm.h"
#include "app/TMainForm.h"
#include "app/TPleaseForm.h"
#include "document/THistoryForm.h"
#include "document/TNewProcessForm.h"
#include "entry/TDiaryTitleForm.h"
#include "entry/THtmlForm.h"
#include "entry/TWeatherForm.h"
#include "platform/QtKeyStore.h"
#include "platform/QtPlatform.h"
#include "settings/TAppSetForm.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

PelmoraApplication::PelmoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Pelmora"));
    loadJapaneseTranslation();
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
}

void PelmoraApplication::loadJapaneseTranslation()
{
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool PelmoraApplication::notify(QObject* receiver, QEvent* event)
{
    if (!errors_)
        return QApplication::notify(receiver, event);
    bool handled = false;
    errors_->run([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

namespace {

// The twelve modal windows, in the order the program creates them after the main window.
Windows createWindows(TMainForm* main)
{
    Windows w;
    w.DiaryTitleForm = new TDiaryTitleForm(main);
    w.LinkForm = new TLinkForm(main);
    w.GraphicForm = new TGraphicForm(main);
    w.NewProcessForm = new TNewProcessForm(main);
    w.HtmlForm = new THtmlForm(main);
    w.HistoryForm = new THistoryForm(main);
    w.ExpForm = new TExpForm(main);
    w.AppSetForm = new TAppSetForm(main);
    w.HelpVerForm = new THelpVerForm(main);
    w.DecorationForm = new TDecorationForm(main);
    w.PleaseForm = new TPleaseForm(main);
    w.WeatherForm = new TWeatherForm(main);
    return w;
}

} // namespace

int runPelmora(int& argc, char** argv)
{
    PelmoraApplication app(argc, argv);
    QtMessages messages;
    QtFileDialogs fileDialogs;
    QtClipboard clipboard;
    QtClock clock;
    QtSystem system;
    QtFiles files;
    QtKeyStore keyStore;
    ErrorHandler errors(messages);
    const Platform platform{messages, fileDialogs, clipboard, clock, system, files, keyStore};

    std::unique_ptr<TMainForm> main;
    const bool created = errors.run([&] {
        main = std::make_unique<TMainForm>(platform);
        main->setWindows(createWindows(main.get()));
    });
    if (!created)
        return 0;
    app.setErrorHandler(&errors);
    main->show();
    app.exec();
    return 0;
}
