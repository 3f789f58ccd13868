#pragma once

#include "publish/SiteUpload.h"

#include <QString>

// What the writer is told when a send has not gone through: what happened and what to do. The
// files named are where SSH host keys and trusted certificates' keys are kept.
QString uploadFailureMessage(const UploadResult& result, const SiteAddress& site,
                             const QString& knownHosts, const QString& pinnedCertificates);

// The library's or the system's own words, after the Japanese sentence that tells what
// happened: a line of their own in parentheses; nothing when there are none.
QString detailNote(const QString& detail);
