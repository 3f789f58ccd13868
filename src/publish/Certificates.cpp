#include "publish/Certificates.h"

#include <QCryptographicHash>

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>

namespace {

struct X509Free {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Bio = std::unique_ptr<BIO, BioFree>;

QString colonHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(':').toUpper());
}

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// A name as one line, "CN=example.jp,O=...", non-ASCII characters kept as they are.
QString nameText(const X509_NAME* name)
{
    const Bio bio(BIO_new(BIO_s_mem()));
    if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return QString::fromUtf8(data, qsizetype(size));
}

QDateTime timeOf(const ASN1_TIME* time)
{
    tm parts{};
    if (!ASN1_TIME_to_tm(time, &parts))
        return {};
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                     QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
}

QByteArray derOf(X509* certificate)
{
    unsigned char* der = nullptr;
    const int size = i2d_X509(certificate, &der);
    if (size <= 0)
        return {};
    QByteArray bytes(reinterpret_cast<const char*>(der), size);
    OPENSSL_free(der);
    return bytes;
}

// The certificate's SubjectPublicKeyInfo, which a public key pin is the hash of.
QByteArray publicKeyOf(X509* certificate)
{
    unsigned char* der = nullptr;
    const int size = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate), &der);
    if (size <= 0)
        return {};
    QByteArray bytes(reinterpret_cast<const char*>(der), size);
    OPENSSL_free(der);
    return bytes;
}

} // namespace

std::optional<CertificateSeen> readCertificate(const QByteArray& pem)
{
    const Bio bio(BIO_new_mem_buf(pem.constData(), int(pem.size())));
    const std::unique_ptr<X509, X509Free> certificate(
        bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!certificate)
        return std::nullopt;
    const QByteArray der = derOf(certificate.get());
    const QByteArray publicKey = publicKeyOf(certificate.get());
    if (der.isEmpty() || publicKey.isEmpty())
        return std::nullopt;
    CertificateSeen seen;
    seen.fingerprint = colonHex(sha256(der));
    seen.publicKeyFingerprint = colonHex(sha256(publicKey));
    seen.subject = nameText(X509_get_subject_name(certificate.get()));
    seen.issuer = nameText(X509_get_issuer_name(certificate.get()));
    seen.validFrom = timeOf(X509_get0_notBefore(certificate.get()));
    seen.validUntil = timeOf(X509_get0_notAfter(certificate.get()));
    return seen;
}

QByteArray publicKeyPin(const CertificateSeen& seen)
{
    QString hex = seen.publicKeyFingerprint;
    hex.remove(u':');
    return "sha256//" + QByteArray::fromHex(hex.toLatin1()).toBase64();
}
