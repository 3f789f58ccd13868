#include "publish/SecretStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace {

const QString service = QStringLiteral("Pelmora");

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

const SecretStore desktopStore{readSecret, writeSecret, removeSecret};

} // namespace

extern "C" __attribute__((visibility("default"))) const SecretStore* pelmoraSecretStore()
{
    return &desktopStore;
}
