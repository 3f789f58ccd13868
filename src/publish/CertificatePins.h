#pragma once

#include <QByteArray>
#include <QString>

// The public keys of the certificates the writer chose to trust, one line per host and port
// ("[host]:port sha256//..."), in a file of the state folder only its owner may read.

// The pin kept for host:port in the pins file; empty when there is none.
QByteArray pinnedKey(const QString& pinsFile, const QString& host, int port);
// Keeps `pin` for host:port in the pins file, replacing what it held for them; the file is
// replaced whole. False when it could not be written.
bool keepPin(const QString& pinsFile, const QString& host, int port, const QByteArray& pin);
// Removes what the pins file holds for host:port, so that the next send asks again. False when
// the file could not be written.
bool forgetPin(const QString& pinsFile, const QString& host, int port);
// A pin as the questions show a fingerprint: the key's SHA-256 in "AB:12:..." form.
QString pinFingerprint(const QByteArray& pin);
