#pragma once

#include "SiteFiles.h"
#include "SshServer.h"
#include "publish/SiteUpload.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// A suite that sends to one real server on 127.0.0.1, started once for the suite. A test fails
// when the server cannot start, unless PELMORA_SKIP_SERVER_TESTS allows it to skip.
template <typename Server> class SiteTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = std::make_unique<Server>();
        failure = server->start();
    }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        if (!failure.isEmpty() && SshServer::skipAllowed())
            GTEST_SKIP() << failure.toStdString();
        ASSERT_TRUE(failure.isEmpty())
            << "no server for the test: " << failure.toStdString()
            << " (set PELMORA_SKIP_SERVER_TESTS=1 to skip these tests on purpose)";
    }

    // A request to send `bytes`, written to a local diary.htm, as site.htm into the folder under
    // the user's home, by password.
    UploadRequest request(const QString& folder, const QByteArray& bytes)
    {
        UploadRequest request;
        request.site.host = QStringLiteral("127.0.0.1");
        request.site.port = server->port();
        request.site.user = server->user();
        request.site.folder = folder;
        request.site.fileName = QStringLiteral("site.htm");
        request.secret = server->password();
        request.localPath = local.filePath(QStringLiteral("diary.htm"));
        writeAll(request.localPath, bytes);
        return request;
    }

    static inline std::unique_ptr<Server> server;
    static inline QString failure;
    QTemporaryDir local;
};
