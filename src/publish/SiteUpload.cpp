#include "publish/SiteUpload.h"

#include "publish/CertificatePins.h"
#include "publish/Certificates.h"
#include "publish/SftpUpload.h"

#include <QFile>
#include <QUrl>

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <optional>

namespace {

void startCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistFree>;

Slist commandList(const QList<QByteArray>& commands)
{
    curl_slist* list = nullptr;
    for (const QByteArray& command : commands)
        list = curl_slist_append(list, command.constData());
    return Slist(list);
}

// The curl codes after which a server's FTP reply says what went wrong.
bool ftpReplyTells(CURLcode code)
{
    switch (code) {
    case CURLE_LOGIN_DENIED:
    case CURLE_UPLOAD_FAILED:
    case CURLE_QUOTE_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_COULDNT_RETR_FILE: return true;
    default: return false;
    }
}

std::optional<UploadOutcome> ftpReplyOutcome(long reply)
{
    switch (reply) {
    case 530: return UploadOutcome::WrongPassword; // not logged in
    case 550:                                      // no such file, or no access
    case 553: return UploadOutcome::NoPermission;  // name not allowed: vsftpd's "could not create"
    case 452:                                      // insufficient storage
    case 552: return UploadOutcome::DiskFull;      // storage allocation exceeded
    default: return std::nullopt;
    }
}

// A pinned key stands in for the authority that would vouch for the certificate, not for its
// dates: a certificate out of its validity fails the handshake, and the uploader is told.
int verifyPinned(int ok, X509_STORE_CTX* store)
{
    const int error = X509_STORE_CTX_get_error(store);
    if (ok || (error != X509_V_ERR_CERT_HAS_EXPIRED && error != X509_V_ERR_CERT_NOT_YET_VALID))
        return 1;
    const auto* ssl = static_cast<const SSL*>(
        X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    if (auto* outOfDate = static_cast<bool*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl))))
        *outOfDate = true;
    return 0;
}

// `outOfDate` is set when the certificate's dates fail the handshake.
CURLcode checkDatesOnly(CURL*, void* context, void* outOfDate)
{
    SSL_CTX_set_app_data(static_cast<SSL_CTX*>(context), outOfDate);
    SSL_CTX_set_verify(static_cast<SSL_CTX*>(context), SSL_VERIFY_PEER, verifyPinned);
    return CURLE_OK;
}

bool inDate(const CertificateSeen& seen)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return seen.validFrom <= now && now <= seen.validUntil;
}

// One FTPS send: a connection kept open over its steps (uploads, size checks, renames).
class Uploader {
public:
    Uploader(const UploadRequest& request, const UploadHooks& hooks);
    ~Uploader() { curl_easy_cleanup(curl_); }
    UploadResult run();
    UploadResult lookUp();

private:
    std::optional<UploadResult> cannotStart() const;
    bool signIn();
    std::optional<UploadResult> sendFile(const QString& localPath, const QString& remoteName);
    void makeFolders(const QString& remoteName);
    void setConnection();
    void setFtps();
    bool trustServer();
    bool certificateAsked() const;
    std::optional<CertificateSeen> serverCertificate() const;
    void pinKey(const QByteArray& pin);
    QList<QByteArray> renaming(const QString& from, const QString& to, bool tolerated) const;
    QByteArray removing(const QString& path, bool tolerated) const;
    CURLcode perform();
    CURLcode performTrusted();
    UploadResult failure(CURLcode code) const;
    UploadOutcome outcomeOf(CURLcode code) const;
    bool upload();
    bool serverHoldsAll();
    qint64 serverSize();
    bool putInPlace();
    bool runCommands(const QList<QByteArray>& commands, bool canCancel = false);
    void removeTemporary();
    QByteArray url(const QString& path) const;

    static size_t readLocal(char* buffer, size_t size, size_t count, void* self);
    static size_t keepTail(char* data, size_t size, size_t count, void* self);
    static int progressOf(void* self, curl_off_t, curl_off_t, curl_off_t total, curl_off_t sent);
    const UploadRequest& request_;
    const UploadHooks& hooks_;
    CURL* curl_;
    char error_[CURL_ERROR_SIZE] = {};
    QFile local_;
    qint64 size_ = 0;
    QByteArray tail_;
    CURLcode lastCode_ = CURLE_OK;
    bool readStarted_ = false;
    bool cancellable_ = true;
    bool pinned_ = false;
    QByteArray pin_;
    bool certificateRefused_ = false;
    long reply_ = 0;
    QString remoteName_; // the file's path under the site's folder
    QString tempName_;
    QString oldName_;
    QStringList madeFolders_;
};

Uploader::Uploader(const UploadRequest& request, const UploadHooks& hooks)
    : request_(request), hooks_(hooks), curl_(curl_easy_init())
{
}

// Why the send cannot start at all, or nothing.
std::optional<UploadResult> Uploader::cannotStart() const
{
    if (!curl_)
        return UploadResult(UploadOutcome::Failed, QStringLiteral("libcurl"));
    // An FTP command ends at a line end: a name holding one would send a command of its own.
    QString targets = remotePath(request_.site, request_.site.fileName);
    for (const LinkedFile& file : request_.linkedFiles)
        targets += file.remoteName;
    if (targets.contains(u'\r') || targets.contains(u'\n'))
        return UploadResult(UploadOutcome::Failed, QStringLiteral("line end in the remote path"));
    return std::nullopt;
}

UploadResult Uploader::run()
{
    if (const std::optional<UploadResult> refused = cannotStart())
        return *refused;
    setConnection();
    if (!signIn())
        return failure(lastCode_);
    return sendLinkedFilesThenDiary(
        request_, hooks_,
        [this](const QString& local, const QString& remote) { return sendFile(local, remote); });
}

// Connects, signs in and asks the size of the diary's file there, which sets binary mode before
// the first upload: libcurl sets it once a data connection is open, and then waits on that
// connection (which the server takes only at STOR) before it reads the reply.
bool Uploader::signIn()
{
    curl_easy_setopt(curl_, CURLOPT_URL,
                     url(remotePath(request_.site, request_.site.fileName)).constData());
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    const CURLcode code = performTrusted();
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
    return code == CURLE_OK || code == CURLE_REMOTE_FILE_NOT_FOUND;
}

// Makes the folders of a name under the site's folder that this send has not made yet; a
// folder that is there already is no failure.
void Uploader::makeFolders(const QString& remoteName)
{
    QList<QByteArray> commands;
    for (qsizetype slash = remoteName.indexOf(u'/'); slash > 0;
         slash = remoteName.indexOf(u'/', slash + 1)) {
        const QString folder = remoteName.left(slash);
        if (madeFolders_.contains(folder))
            continue;
        madeFolders_.append(folder);
        const QString path = remotePath(request_.site, folder);
        commands.append("*MKD " + path.toUtf8());
    }
    if (!commands.isEmpty())
        runCommands(commands);
}

// Sends one file to its name under the site's folder; what went wrong, or nothing.
std::optional<UploadResult> Uploader::sendFile(const QString& localPath, const QString& remoteName)
{
    local_.close();
    local_.setFileName(localPath);
    if (!local_.open(QIODevice::ReadOnly))
        return UploadResult{UploadOutcome::LocalFileUnreadable, local_.errorString()};
    size_ = local_.size();
    readStarted_ = false;
    cancellable_ = true;
    remoteName_ = remoteName;
    const qsizetype slash = remoteName.lastIndexOf(u'/') + 1;
    const QString folder = remoteName.left(slash);
    tempName_ = folder + u'.' + remoteName.mid(slash) + QStringLiteral(".pelmora-upload");
    oldName_ = folder + u'.' + remoteName.mid(slash) + QStringLiteral(".pelmora-old");
    makeFolders(remoteName);
    if (!upload()) {
        const UploadResult result = failure(lastCode_);
        if (readStarted_)
            removeTemporary();
        return result;
    }
    if (!serverHoldsAll()) {
        const UploadResult result = lastCode_ == CURLE_OK
                                        ? UploadResult{UploadOutcome::SizeMismatch, {}}
                                        : failure(lastCode_);
        removeTemporary();
        return result;
    }
    if (!putInPlace())
        return failure(lastCode_);
    return std::nullopt;
}

UploadResult Uploader::lookUp()
{
    if (const std::optional<UploadResult> refused = cannotStart())
        return *refused;
    setConnection();
    curl_easy_setopt(curl_, CURLOPT_URL,
                     url(remotePath(request_.site, request_.site.fileName)).constData());
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl_, CURLOPT_FILETIME, 1L);
    const bool found = performTrusted() == CURLE_OK;
    UploadResult result(UploadOutcome::LookedUp);
    if (found) {
        curl_off_t size = -1;
        curl_off_t time = -1;
        curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
        curl_easy_getinfo(curl_, CURLINFO_FILETIME_T, &time);
        result.remote.exists = true;
        result.remote.size = size;
        if (time >= 0)
            result.remote.modified = QDateTime::fromSecsSinceEpoch(time);
        return result;
    }
    // No file there yet (or no folder: the send will say which).
    if (lastCode_ == CURLE_REMOTE_FILE_NOT_FOUND)
        return result;
    return failure(lastCode_);
}

QByteArray Uploader::url(const QString& path) const
{
    const SiteAddress& site = request_.site;
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(site.host);
    url.setPort(site.port);
    // An FTP address's path is from the login folder; "%2F" starts one from the root.
    const bool fromRoot = path.startsWith(u'/');
    return url.toEncoded() + (fromRoot ? "/%2F" : "/")
           + QUrl::toPercentEncoding(fromRoot ? path.mid(1) : path, "/");
}

void Uploader::setConnection()
{
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, long(request_.connectSeconds));
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, long(request_.stallSeconds));
    curl_easy_setopt(curl_, CURLOPT_USERNAME, request_.site.user.toUtf8().constData());
    setFtps();
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    // What a look-up's FTP replies give as a body ("Content-Length: ...") is not wanted.
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &Uploader::keepTail);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &Uploader::progressOf);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
}

// FTP over TLS from the first command on (AUTH TLS), the data connections encrypted as well;
// a server that does not offer TLS gets no user name and no password. Passive mode, with every
// command naming its file from the login folder, so the commands between transfers do too.
// TLS 1.2: every data connection must resume the control connection's session (vsftpd's
// require_ssl_reuse, on by default), and under TLS 1.3 vsftpd hands out the next session in a
// ticket after each data connection's handshake, which libcurl may close unread: the next data
// connection then offers a spent session, and the close of one holding unread bytes is a reset
// that can cut off the end of an upload ("426 Failure reading network stream"). Under TLS 1.2
// the session is settled inside the handshake.
void Uploader::setFtps()
{
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl_, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(curl_, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
    curl_easy_setopt(curl_, CURLOPT_SSLVERSION,
                     long(CURL_SSLVERSION_TLSv1_2) | long(CURL_SSLVERSION_MAX_TLSv1_2));
    curl_easy_setopt(curl_, CURLOPT_FTPPORT, nullptr);
    curl_easy_setopt(curl_, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, request_.secret.toUtf8().constData());
    const QByteArray pin =
        pinnedKey(request_.pinnedCertificates, request_.site.host, request_.site.port);
    if (!pin.isEmpty())
        pinKey(pin);
}

// Accepts the one public key, whoever signed its certificate; the certificate must still name
// the host and be in date.
void Uploader::pinKey(const QByteArray& pin)
{
    pin_ = pin;
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl_, CURLOPT_SSL_CTX_FUNCTION, &checkDatesOnly);
    curl_easy_setopt(curl_, CURLOPT_SSL_CTX_DATA, &certificateRefused_);
    curl_easy_setopt(curl_, CURLOPT_PINNEDPUBLICKEY, pin_.constData());
    pinned_ = true;
}

// Whether the last connection stopped at a certificate the writer is asked about: one no
// authority vouches for, on a host with no pinned key, or one whose key is not the pinned one.
bool Uploader::certificateAsked() const
{
    if (pinned_)
        return lastCode_ == CURLE_SSL_PINNEDPUBKEYNOTMATCH;
    return lastCode_ == CURLE_PEER_FAILED_VERIFICATION || lastCode_ == CURLE_SSL_CACERT_BADFILE;
}

// The certificate is shown to the writer, once the server has shown it names the host and is
// in date, with the key pinned before when it changed; only a yes connects, and keeps its key
// for the next sends. A changed key the writer does not take stays told as changed.
bool Uploader::trustServer()
{
    std::optional<CertificateSeen> seen = serverCertificate();
    if (!seen || !inDate(*seen)) {
        certificateRefused_ = true;
        return false;
    }
    seen->host = request_.site.host;
    seen->port = request_.site.port;
    if (pinned_)
        seen->pinnedFingerprint = pinFingerprint(pin_);
    if (!hooks_.trustCertificate || !hooks_.trustCertificate(*seen)) {
        certificateRefused_ = !pinned_;
        return false;
    }
    const QByteArray pin = publicKeyPin(*seen);
    // A pin that cannot be kept only means the question comes again at the next send.
    keepPin(request_.pinnedCertificates, seen->host, seen->port, pin);
    pinKey(pin);
    return true;
}

// The server's certificate, from a connection of its own that checks the host name only and
// signs in as "anonymous", so that nothing of the writer's reaches a server not yet trusted.
// Nothing when the certificate names another host.
std::optional<CertificateSeen> Uploader::serverCertificate() const
{
    CURL* probe = curl_easy_init();
    if (!probe)
        return std::nullopt;
    curl_easy_setopt(probe, CURLOPT_URL, url({}).constData());
    curl_easy_setopt(probe, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(probe, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(probe, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(probe, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
    curl_easy_setopt(probe, CURLOPT_CONNECTTIMEOUT, long(request_.connectSeconds));
    curl_easy_setopt(probe, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(probe, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(probe, CURLOPT_CERTINFO, 1L);
    curl_easy_setopt(probe, CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(probe, CURLOPT_USERNAME, "anonymous");
    curl_easy_setopt(probe, CURLOPT_PASSWORD, "");
    const CURLcode code = curl_easy_perform(probe);
    std::optional<CertificateSeen> seen;
    curl_certinfo* info = nullptr;
    if (code != CURLE_PEER_FAILED_VERIFICATION
        && curl_easy_getinfo(probe, CURLINFO_CERTINFO, &info) == CURLE_OK && info
        && info->num_of_certs > 0) {
        for (const curl_slist* field = info->certinfo[0]; field && !seen; field = field->next) {
            const QByteArray text(field->data);
            if (text.startsWith("Cert:"))
                seen = readCertificate(text.mid(5));
        }
    }
    curl_easy_cleanup(probe);
    return seen;
}

CURLcode Uploader::perform()
{
    error_[0] = '\0';
    lastCode_ = curl_easy_perform(curl_);
    reply_ = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &reply_);
    return lastCode_;
}

// Nothing has left before the certificate is checked: the step starts again once trusted.
CURLcode Uploader::performTrusted()
{
    if (perform() != CURLE_OK && certificateAsked() && trustServer())
        perform();
    return lastCode_;
}

bool Uploader::upload()
{
    curl_easy_setopt(curl_, CURLOPT_URL, url(remotePath(request_.site, tempName_)).constData());
    curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE, curl_off_t(size_));
    curl_easy_setopt(curl_, CURLOPT_READFUNCTION, &Uploader::readLocal);
    curl_easy_setopt(curl_, CURLOPT_READDATA, this);
    const bool sent = performTrusted() == CURLE_OK;
    curl_easy_setopt(curl_, CURLOPT_UPLOAD, 0L);
    return sent;
}

// The server's SIZE of the temporary file says whether it holds all of the file, on the control
// connection alone (a data connection for one byte costs as much as the whole file on a fast
// line). A server that does not answer SIZE gets the temporary file's last byte, and whatever
// follows it, read back: it holds all of the file when exactly that one byte comes back, and it
// is the file's own last byte.
bool Uploader::serverHoldsAll()
{
    if (const qint64 held = serverSize(); held >= 0 || lastCode_ != CURLE_OK)
        return lastCode_ == CURLE_OK && held == size_;
    local_.seek(qMax<qint64>(0, size_ - 1));
    const QByteArray lastByte = local_.read(1);
    tail_.clear();
    curl_easy_setopt(curl_, CURLOPT_URL, url(remotePath(request_.site, tempName_)).constData());
    const QByteArray range = QByteArray::number(qMax<qint64>(0, size_ - 1)) + '-';
    curl_easy_setopt(curl_, CURLOPT_RANGE, size_ > 0 ? range.constData() : nullptr);
    cancellable_ = false;
    const CURLcode code = perform();
    curl_easy_setopt(curl_, CURLOPT_RANGE, nullptr);
    if (code == CURLE_BAD_DOWNLOAD_RESUME) { // the server holds less than was sent
        lastCode_ = CURLE_OK;
        return false;
    }
    return code == CURLE_OK && tail_ == lastByte;
}

// The temporary file's size as the server tells it; -1 when it does not.
qint64 Uploader::serverSize()
{
    curl_easy_setopt(curl_, CURLOPT_URL, url(remotePath(request_.site, tempName_)).constData());
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    cancellable_ = false;
    const CURLcode code = perform();
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
    curl_off_t held = -1;
    if (code == CURLE_OK)
        curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &held);
    return held;
}

// Renames the temporary file over the old one. Servers that refuse to rename over an existing
// file (OpenSSH's among them) get the old file renamed aside first, and back if the new one
// cannot take its place; a copy set aside by an earlier send that stopped half way is removed
// first, since the diary's own name still holds a whole file then.
bool Uploader::putInPlace()
{
    const SiteAddress& site = request_.site;
    const QString temp = remotePath(site, tempName_);
    const QString target = remotePath(site, remoteName_);
    const QString old = remotePath(site, oldName_);
    if (runCommands(renaming(temp, target, false)))
        return true;
    if (!runCommands(QList<QByteArray>{removing(old, true)} + renaming(target, old, false)))
        return (removeTemporary(), false);
    if (!runCommands(renaming(temp, target, false))) {
        const CURLcode code = lastCode_;
        const long reply = reply_;
        runCommands(renaming(old, target, true));
        removeTemporary();
        lastCode_ = code;
        reply_ = reply;
        return false;
    }
    runCommands({removing(old, true)});
    return true;
}

// The commands that rename a remote file; a tolerated failure does not stop the commands after.
QList<QByteArray> Uploader::renaming(const QString& from, const QString& to, bool tolerated) const
{
    const QByteArray mark = tolerated ? "*" : "";
    return {mark + "RNFR " + from.toUtf8(), mark + "RNTO " + to.toUtf8()};
}

QByteArray Uploader::removing(const QString& path, bool tolerated) const
{
    const QByteArray mark = tolerated ? "*" : "";
    return mark + "DELE " + path.toUtf8();
}

bool Uploader::runCommands(const QList<QByteArray>& commands, bool canCancel)
{
    cancellable_ = canCancel;
    const Slist list = commandList(commands);
    const QByteArray address = url({});
    curl_easy_setopt(curl_, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl_, CURLOPT_QUOTE, list.get());
    const bool done = performTrusted() == CURLE_OK;
    curl_easy_setopt(curl_, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
    return done;
}

void Uploader::removeTemporary()
{
    const CURLcode code = lastCode_;
    const long reply = reply_;
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, 10L);
    runCommands({removing(remotePath(request_.site, tempName_), true)});
    lastCode_ = code;
    reply_ = reply;
}

size_t Uploader::readLocal(char* buffer, size_t size, size_t count, void* self)
{
    auto* uploader = static_cast<Uploader*>(self);
    uploader->readStarted_ = true;
    const qint64 read = uploader->local_.read(buffer, qint64(size * count));
    return read < 0 ? CURL_READFUNC_ABORT : size_t(read);
}

size_t Uploader::keepTail(char* data, size_t size, size_t count, void* self)
{
    auto* uploader = static_cast<Uploader*>(self);
    if (uploader->tail_.size() < 16)
        uploader->tail_.append(data, qsizetype(qMin<size_t>(size * count, 16)));
    return size * count;
}

int Uploader::progressOf(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent)
{
    auto* uploader = static_cast<Uploader*>(self);
    const UploadHooks& hooks = uploader->hooks_;
    if (!uploader->cancellable_)
        return 0;
    if (hooks.progress && uploader->readStarted_)
        hooks.progress(sent, uploader->size_);
    return hooks.cancelled && hooks.cancelled->load() ? 1 : 0;
}

UploadResult Uploader::failure(CURLcode code) const
{
    return {outcomeOf(code), QString::fromUtf8(*error_ ? error_ : curl_easy_strerror(code))};
}

UploadOutcome Uploader::outcomeOf(CURLcode code) const
{
    if (certificateRefused_)
        return UploadOutcome::CertificateRefused;
    if (ftpReplyTells(code)) {
        if (const std::optional<UploadOutcome> outcome = ftpReplyOutcome(reply_))
            return *outcome;
    }
    long osError = 0;
    curl_easy_getinfo(curl_, CURLINFO_OS_ERRNO, &osError);
    switch (code) {
    case CURLE_ABORTED_BY_CALLBACK: return UploadOutcome::Cancelled;
    case CURLE_LOGIN_DENIED: return UploadOutcome::WrongPassword;
    case CURLE_COULDNT_RESOLVE_HOST: return UploadOutcome::HostNotFound;
    case CURLE_COULDNT_CONNECT:
        return osError == ETIMEDOUT ? UploadOutcome::TimedOut : UploadOutcome::ConnectionRefused;
    case CURLE_OPERATION_TIMEDOUT: return UploadOutcome::TimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE: return UploadOutcome::CertificateRefused;
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH: return UploadOutcome::CertificateChanged;
    case CURLE_USE_SSL_FAILED: return UploadOutcome::NoEncryption;
    case CURLE_SSL_CONNECT_ERROR: return UploadOutcome::NoTls;
    case CURLE_REMOTE_ACCESS_DENIED: return UploadOutcome::NoPermission;
    case CURLE_REMOTE_DISK_FULL: return UploadOutcome::DiskFull;
    case CURLE_REMOTE_FILE_NOT_FOUND: return UploadOutcome::FolderMissing;
    case CURLE_READ_ERROR: return UploadOutcome::LocalFileUnreadable;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_SSH: return UploadOutcome::ConnectionLost;
    default: return UploadOutcome::Failed;
    }
}

} // namespace

UploadResult sendLinkedFilesThenDiary(const UploadRequest& request, const UploadHooks& hooks,
                                      const SendOneFile& sendFile)
{
    UploadResult result(UploadOutcome::Sent);
    for (const LinkedFile& file : request.linkedFiles) {
        if (hooks.cancelled && hooks.cancelled->load())
            return (result.outcome = UploadOutcome::Cancelled, result);
        if (std::optional<UploadResult> failed = sendFile(file.localPath, file.remoteName))
            return (failed->sent = result.sent, *failed);
        result.sent.append(file.remoteName);
    }
    if (std::optional<UploadResult> failed = sendFile(request.localPath, request.site.fileName))
        return (failed->sent = result.sent, *failed);
    result.sent.append(request.site.fileName);
    return result;
}

UploadResult uploadToSite(const UploadRequest& request, const UploadHooks& hooks)
{
    if (request.site.protocol == SiteAddress::Protocol::Sftp)
        return sftpUpload(request, hooks);
    startCurl();
    return Uploader(request, hooks).run();
}

UploadResult lookUpOnSite(const UploadRequest& request, const UploadHooks& hooks)
{
    if (request.site.protocol == SiteAddress::Protocol::Sftp)
        return sftpLookUp(request, hooks);
    startCurl();
    return Uploader(request, hooks).lookUp();
}

extern "C" __attribute__((visibility("default"))) UploadResult
pelmoraUploadToSite(const UploadRequest& request, const UploadHooks& hooks)
{
    return uploadToSite(request, hooks);
}

extern "C" __attribute__((visibility("default"))) UploadResult
pelmoraLookUpOnSite(const UploadRequest& request, const UploadHooks& hooks)
{
    return lookUpOnSite(request, hooks);
}
