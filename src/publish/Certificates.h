#pragma once

#include "publish/SiteUpload.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reading a server's TLS certificate and keeping the public keys the writer chose to trust.

// What the certificate in `pem` says, and its SHA-256 fingerprints; nullopt when it is not a
// certificate. The host and port are left for the caller.
std::optional<CertificateSeen> readCertificate(const QByteArray& pem);

// The pin of a certificate's public key as libcurl takes it: "sha256//" and the base64 of the
// key's SHA-256.
QByteArray publicKeyPin(const CertificateSeen& seen);

// The pin kept for host:port in the pins file; empty when there is none, or when the file is not
// the writer's own (see readOwnFile).
QByteArray pinnedKey(const QString& pinsFile, const QString& host, int port);
// Keeps `pin` for host:port in the pins file, replacing what it held for them; the file is
// replaced whole and only its owner may read it. False when it could not be written, or its
// folder may not be trusted (see makeStateFolder).
bool keepPin(const QString& pinsFile, const QString& host, int port, const QByteArray& pin);
