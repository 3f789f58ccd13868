#pragma once

#include "publish/SiteUpload.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reading a server's TLS certificate.

// What the certificate in `pem` says, and its SHA-256 fingerprints; nullopt when it is not a
// certificate. The host and port are left for the caller.
std::optional<CertificateSeen> readCertificate(const QByteArray& pem);

// The pin of a certificate's public key as libcurl takes it: "sha256//" and the base64 of the
// key's SHA-256.
QByteArray publicKeyPin(const CertificateSeen& seen);
