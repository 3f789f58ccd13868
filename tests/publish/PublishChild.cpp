// A writer who sends the diary with the desktop's secret store at hand: starts the program as
// it runs for the writer on the diary given, and sends it three times to the site the
// environment names (PUBLISH_HOST, PUBLISH_PORT, PUBLISH_USER, PUBLISH_FOLDER, PUBLISH_PASSWORD,
// PUBLISH_KNOWN_HOSTS):
//  1. with a wrong password kept in the store beforehand; the settings window, shown since the
//     diary has none, is filled in as the writer would;
//  2. asked for the password, and answering it with "keep";
//  3. once more, when nothing should be asked.
// With PUBLISH_SCENARIO=locked, instead: the right password kept, the keyring locked, and one
// send, the password answered with "keep".
// Prints every message box (pressing its default button; other windows are closed with OK),
// what the password's window offers ("store offered", "store locked", "no store"), "asked N"
// and the result line after each send, and "kept" at the end when the store holds the
// password; then quits.
//
// Usage: publish_child <diary path>

#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "publish/Publisher.h"
#include "publish/TPublishForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <cstdio>

namespace {

QString setting(const char* name)
{
    return qEnvironmentVariable(name);
}

void print(const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

SiteAddress site()
{
    SiteAddress site;
    site.host = setting("PUBLISH_HOST");
    site.port = setting("PUBLISH_PORT").toInt();
    site.user = setting("PUBLISH_USER");
    site.folder = setting("PUBLISH_FOLDER");
    return site;
}

void fillSettings(TPublishForm* form)
{
    const SiteAddress where = site();
    form->HostEdit->setText(where.host);
    form->PortEdit->setValue(where.port);
    form->UserEdit->setText(where.user);
    form->FolderEdit->setText(where.folder);
    form->SignInBox->setCurrentIndex(0); // password
    form->OkBtn->click();
}

// Answers what the program shows modally, as the writer would.
void answerWindows()
{
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* form = qobject_cast<TPublishForm*>(modal)) {
            fillSettings(form);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            print(box->text());
            box->defaultButton()->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->accept(); // the guidance shown at the first switch to the diary
        }
    });
    poll->start(20);
}
Q_COREAPP_STARTUP_FUNCTION(answerWindows)

TMainForm* mainForm()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TMainForm*>(window))
            return form;
    }
    return nullptr;
}

void sendAndWait(TMainForm* form)
{
    form->findChild<QAction*>(QStringLiteral("PublishSend"))->trigger();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (form->publisher()->sendOffered())
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    print(form->findChild<QLabel*>(QStringLiteral("PublishResult"))->text());
}

// Locks the keyring's login collection, as the desktop's "lock" does.
void lockKeyring()
{
    QProcess::execute(QStringLiteral("dbus-send"),
                      {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                       QStringLiteral("--dest=org.freedesktop.secrets"),
                       QStringLiteral("/org/freedesktop/secrets"),
                       QStringLiteral("org.freedesktop.Secret.Service.Lock"),
                       QStringLiteral("array:objpath:/org/freedesktop/secrets/collection/login")});
}

void sendAsTheWriter(const QString& diaryPath)
{
    TMainForm* form = mainForm();
    form->openGivenFile(diaryPath);
    Publisher* publisher = form->publisher();
    publisher->knownHosts = setting("PUBLISH_KNOWN_HOSTS");
    const QString password = setting("PUBLISH_PASSWORD");
    int asked = 0;
    publisher->askSecret = [&](const QString&, SecretKeeping keeping) {
        ++asked;
        print(keeping == SecretKeeping::Offered       ? QStringLiteral("store offered")
              : keeping == SecretKeeping::StoreLocked ? QStringLiteral("store locked")
                                                      : QStringLiteral("no store"));
        return std::optional<SecretAnswer>({password, true});
    };
    const SecretStore* store = publisher->loadSecrets();
    if (!store) {
        print(QStringLiteral("no secret store library"));
        QCoreApplication::exit(1);
        return;
    }
    const QString key = secretKey(site());
    const bool locked = setting("PUBLISH_SCENARIO") == u"locked";
    store->write(key, locked ? password : password + QStringLiteral("-wrong"));
    if (locked)
        lockKeyring();
    for (int send = 0; send < (locked ? 1 : 3); ++send) {
        sendAndWait(form);
        print(QStringLiteral("asked %1").arg(asked));
    }
    if (!locked && store->read(key).secret == password)
        print(QStringLiteral("kept"));
    QCoreApplication::quit();
}

} // namespace

int main(int argc, char** argv)
{
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    return runPelmora(argc, argv, StartAs::Alone,
                      [&] { QTimer::singleShot(0, [&] { sendAsTheWriter(path); }); });
}
