#include "publish/SecretStore.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QEventLoop>

namespace {

const QString service = QStringLiteral("Pelmora");

// The Secret Service on the session bus (GNOME Keyring), where QtKeychain keeps the secrets in
// the default collection.
const QString secrets = QStringLiteral("org.freedesktop.secrets");
const QString secretsPath = QStringLiteral("/org/freedesktop/secrets");
const QString secretsService = QStringLiteral("org.freedesktop.Secret.Service");

// Waits for the end of the desktop's unlock window: its prompt says Completed(dismissed, result),
// or the service leaves the bus.
class UnlockPrompt : public QObject {
    Q_OBJECT
public:
    // True when the keyring was unlocked, false when the writer cancelled.
    bool run(const QString& path)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        // QtDBus delivers a bus signal only to a slot named by its signature.
        if (!bus.connect(secrets, path, QStringLiteral("org.freedesktop.Secret.Prompt"),
                         QStringLiteral("Completed"), this, SLOT(completed(bool, QDBusVariant))))
            return false;
        QDBusServiceWatcher gone(secrets, bus, QDBusServiceWatcher::WatchForUnregistration);
        connect(&gone, &QDBusServiceWatcher::serviceUnregistered, &loop_, &QEventLoop::quit);
        QDBusMessage prompt = QDBusMessage::createMethodCall(
            secrets, path, QStringLiteral("org.freedesktop.Secret.Prompt"),
            QStringLiteral("Prompt"));
        prompt << QString(); // no window of the program's own to put it over
        if (bus.call(prompt).type() == QDBusMessage::ErrorMessage)
            return false;
        loop_.exec(QEventLoop::ExcludeUserInputEvents);
        return !dismissed_;
    }

private slots:
    void completed(bool dismissed, const QDBusVariant&)
    {
        dismissed_ = dismissed;
        loop_.quit();
    }

private:
    QEventLoop loop_;
    bool dismissed_ = true;
};

QDBusMessage callSecrets(const QString& path, const QString& interface, const QString& method,
                         const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(secrets, path, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

SecretReply replyOf(SecretStatus status, const QString& detail = {})
{
    SecretReply reply;
    reply.status = status;
    reply.detail = detail;
    return reply;
}

QDBusObjectPath pathIn(const QDBusMessage& reply, int index)
{
    return reply.arguments().value(index).value<QDBusObjectPath>();
}

// Unlocks the default collection when it is locked. A desktop without the Secret Service (a
// KWallet one), or without a default collection yet, has nothing to unlock here: QtKeychain
// talks to it as it does.
SecretReply unlockSecrets()
{
    const QDBusMessage alias = callSecrets(secretsPath, secretsService, QStringLiteral("ReadAlias"),
                                           {QStringLiteral("default")});
    const QString collection = pathIn(alias, 0).path();
    if (alias.type() != QDBusMessage::ReplyMessage || collection.isEmpty() || collection == u"/")
        return replyOf(SecretStatus::Done);
    const QDBusMessage locked = callSecrets(
        collection, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
        {QStringLiteral("org.freedesktop.Secret.Collection"), QStringLiteral("Locked")});
    if (!locked.arguments().value(0).value<QDBusVariant>().variant().toBool())
        return replyOf(SecretStatus::Done);
    const QDBusMessage unlock =
        callSecrets(secretsPath, secretsService, QStringLiteral("Unlock"),
                    {QVariant::fromValue(QList<QDBusObjectPath>{QDBusObjectPath(collection)})});
    if (unlock.type() != QDBusMessage::ReplyMessage)
        return replyOf(SecretStatus::Failed, unlock.errorMessage());
    const QString prompt = pathIn(unlock, 1).path();
    if (prompt == u"/")
        return replyOf(SecretStatus::Done);
    UnlockPrompt window;
    if (window.run(prompt))
        return replyOf(SecretStatus::Done);
    return replyOf(SecretStatus::Locked);
}

SecretStatus statusOf(QKeychain::Error error)
{
    switch (error) {
    case QKeychain::NoError: return SecretStatus::Done;
    case QKeychain::EntryNotFound: return SecretStatus::NotFound;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented: return SecretStatus::NoStore;
    default: return SecretStatus::Failed;
    }
}

// Runs the job to its end. The job may end inside start(), before a loop could wait for it.
SecretReply run(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    bool finished = false;
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    job.start();
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    SecretReply reply;
    reply.status = statusOf(job.error());
    if (reply.status != SecretStatus::Done)
        reply.detail = job.errorString();
    return reply;
}

SecretReply readSecret(const QString& key)
{
    QKeychain::ReadPasswordJob job(service);
    job.setKey(key);
    SecretReply reply = run(job);
    if (reply.status == SecretStatus::Done)
        reply.secret = job.textData();
    return reply;
}

SecretReply writeSecret(const QString& key, const QString& secret)
{
    QKeychain::WritePasswordJob job(service);
    job.setKey(key);
    job.setTextData(secret);
    return run(job);
}

SecretReply removeSecret(const QString& key)
{
    QKeychain::DeletePasswordJob job(service);
    job.setKey(key);
    SecretReply reply = run(job);
    if (reply.status == SecretStatus::NotFound)
        reply.status = SecretStatus::Done;
    return reply;
}

const SecretStore desktopStore{unlockSecrets, readSecret, writeSecret, removeSecret};

} // namespace

extern "C" __attribute__((visibility("default"))) const SecretStore* pelmoraSecretStore()
{
    return &desktopStore;
}

#include "SecretStore.moc"
