#pragma once

#include "publish/SiteUpload.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QThread;

// One send at a time on a thread of its own; its signals come on the thread the job lives on,
// so the editor stays usable while the diary goes out.
class UploadJob : public QObject {
    Q_OBJECT
public:
    explicit UploadJob(QObject* parent = nullptr);
    // Cancels a send still running and waits for its thread.
    ~UploadJob() override;

    // Starts sending through `upload`; false, and nothing started, while another send runs.
    bool start(const UploadRequest& request, UploadFunction upload);
    // Stops the running send; it still ends with finished(), as cancelled.
    void cancel();
    bool running() const { return thread_ != nullptr; }

    // Asked on the job's thread when the server's host key is new; the send waits for the answer.
    std::function<bool(const HostKeySeen&)> trustNewHost;
    // Asked on the job's thread when no authority vouches for the server's certificate.
    std::function<bool(const CertificateSeen&)> trustCertificate;
    // Asked on the job's thread before a read-only file on the site is replaced.
    std::function<bool(const QString&)> replaceReadOnly;
    // Asked on the job's thread for the passphrase of the key file ssh names; nullopt cancels.
    std::function<std::optional<QString>(const QString&)> askPassphrase;

signals:
    void progressed(qint64 sent, qint64 total);
    void finished(const UploadResult& result);

private:
    template <typename Answer, typename Seen>
    Answer ask(const std::function<Answer(const Seen&)>& question, const Seen& seen);
    void end(const UploadResult& result);

    QThread* thread_ = nullptr;
    std::shared_ptr<std::atomic_bool> cancelled_;
};
