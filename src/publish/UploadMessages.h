#pragma once

#include "publish/SiteUpload.h"

#include <QString>

// What the writer is told when a send has not gone through: what happened and what to do. The
// files named are where SSH host keys and trusted certificates' keys are kept.
QString uploadFailureMessage(const UploadResult& result, const SiteAddress& site,
                             const QString& knownHosts, const QString& pinnedCertificates);
