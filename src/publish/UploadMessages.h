#pragma once

#include "publish/SiteUpload.h"

#include <QString>

// What the writer is told when a send has not gone through: what happened and what to do.
QString uploadFailureMessage(const UploadResult& result, const SiteAddress& site,
                             const QString& knownHosts);
