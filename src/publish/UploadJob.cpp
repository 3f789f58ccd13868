#include "publish/UploadJob.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <future>

UploadJob::UploadJob(QObject* parent) : QObject(parent) {}

UploadJob::~UploadJob()
{
    if (!thread_)
        return;
    cancelled_->store(true);
    thread_->wait();
    delete thread_;
}

bool UploadJob::start(const UploadRequest& request, UploadFunction upload)
{
    if (thread_)
        return false;
    cancelled_ = std::make_shared<std::atomic_bool>(false);
    thread_ = QThread::create([this, request, upload, cancelled = cancelled_] {
        qint64 shown = -1;
        QDeadlineTimer next;
        UploadHooks hooks;
        hooks.cancelled = cancelled.get();
        hooks.trustNewHost = [this](const HostKeySeen& seen) { return ask(trustNewHost, seen); };
        hooks.trustCertificate = [this](const CertificateSeen& seen) {
            return ask(trustCertificate, seen);
        };
        hooks.replaceReadOnly = [this](const QString& remotePath) {
            return ask(replaceReadOnly, remotePath);
        };
        hooks.askPassphrase = [this](const QString& keyFile) {
            return ask(askPassphrase, keyFile);
        };
        // Progress reaches the job a few times a second, not at every block sent.
        hooks.progress = [this, &shown, &next](qint64 sent, qint64 total) {
            if (sent == shown || (!next.hasExpired() && sent != total))
                return;
            shown = sent;
            next.setRemainingTime(std::chrono::milliseconds(100));
            QMetaObject::invokeMethod(
                this, [this, sent, total] { emit progressed(sent, total); }, Qt::QueuedConnection);
        };
        const UploadResult result = upload(request, hooks);
        QMetaObject::invokeMethod(
            this, [this, result] { end(result); }, Qt::QueuedConnection);
    });
    thread_->start();
    return true;
}

void UploadJob::cancel()
{
    if (cancelled_)
        cancelled_->store(true);
}

// Runs on the sending thread: the question goes to the job's thread, and the answer is awaited
// for as long as the send is not cancelled (a cancel, or no one to ask, answers no).
template <typename Answer, typename Seen>
Answer UploadJob::ask(const std::function<Answer(const Seen&)>& question, const Seen& seen)
{
    auto answer = std::make_shared<std::promise<Answer>>();
    std::future<Answer> future = answer->get_future();
    QMetaObject::invokeMethod(
        this,
        [&question, seen, answer] { answer->set_value(question ? question(seen) : Answer{}); },
        Qt::QueuedConnection);
    while (future.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (cancelled_->load())
            return Answer{};
    }
    return future.get();
}

void UploadJob::end(const UploadResult& result)
{
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    emit finished(result);
}
