#pragma once

#include "publish/SiteUpload.h"

// The send and the look-up over SFTP, through OpenSSH's ssh (see SftpChannel), as
// uploadToSite and lookUpOnSite promise.
UploadResult sftpUpload(const UploadRequest& request, const UploadHooks& hooks);
UploadResult sftpLookUp(const UploadRequest& request, const UploadHooks& hooks);
