#include "publish/UploadMessages.h"

namespace {

QString signInFailure(const SiteAddress& site)
{
    if (site.signIn == SiteAddress::SignIn::Password)
        return QStringLiteral("サーバーにサインインできませんでした。"
                              "ユーザー名「%1」とパスワードを確かめてください。")
            .arg(site.user);
    return QStringLiteral("サーバーがSSHの鍵を受け付けませんでした。"
                          "ユーザー名「%1」と鍵（またはssh-agentの鍵）を確かめてください。")
        .arg(site.user);
}

QString oldFileKept()
{
    return QStringLiteral("サイトの日記は前のままです。");
}

// The warning of a changed host key: the key now beside the one kept, and where it is kept.
QString hostKeyChanged(const HostKeyChange& change, const QString& host, const QString& knownHosts)
{
    const QString unknown = QStringLiteral("（不明）");
    return QStringLiteral(
               "警告：サーバー「%1」のホスト鍵が、以前に記録した鍵と違います。"
               "サーバーが入れ替わったか、だれかが通信を横取りしているおそれがあるため、"
               "接続しませんでした（何も送っていません）。\n\n"
               "サーバーの今の鍵（%2）：%3\n記録している鍵：%4\n記録している場所：%5 の %6 行目")
        .arg(host, change.keyType, change.fingerprint.isEmpty() ? unknown : change.fingerprint,
             change.oldFingerprint.isEmpty() ? unknown : change.oldFingerprint,
             change.file.isEmpty() ? knownHosts : change.file,
             change.line > 0 ? QString::number(change.line) : unknown);
}

} // namespace

QString uploadFailureMessage(const UploadResult& result, const SiteAddress& site,
                             const QString& knownHosts, const QString& pinnedCertificates)
{
    const QString host = site.host;
    switch (result.outcome) {
    case UploadOutcome::Sent:
    case UploadOutcome::LookedUp: return {};
    case UploadOutcome::Cancelled: return QStringLiteral("送信を中止しました。") + oldFileKept();
    case UploadOutcome::LocalFileUnreadable:
        return QStringLiteral("日記のファイルを読めませんでした。") + detailNote(result.detail);
    case UploadOutcome::WrongPassword: return signInFailure(site);
    case UploadOutcome::WrongPassphrase:
        return QStringLiteral("鍵ファイル %1 のパスフレーズが違うため、鍵を使えず、"
                              "サーバーにサインインできませんでした（何も送っていません）。")
            .arg(result.keyFile);
    case UploadOutcome::HostNotFound:
        return QStringLiteral("サーバー「%1」が見つかりません。ホスト名を確かめてください。")
            .arg(host);
    case UploadOutcome::ConnectionRefused:
        return QStringLiteral("サーバー「%1」のポート%2に接続を拒否されました。"
                              "ポート番号と、サーバーが動いているかを確かめてください。")
            .arg(host)
            .arg(site.port);
    case UploadOutcome::TimedOut:
        return QStringLiteral("サーバー「%1」から応答がなく、時間切れになりました。"
                              "ネットワークとサーバーの状態を確かめてください。")
                   .arg(host)
               + oldFileKept();
    case UploadOutcome::HostKeyChanged: return hostKeyChanged(result.changedKey, host, knownHosts);
    case UploadOutcome::HostKeyRevoked:
        return QStringLiteral("警告：サーバー「%1」が示した鍵は、known_hosts で無効（@revoked）と"
                              "されています。盗まれた鍵でだれかがサーバーになりすましている"
                              "おそれがあるため、接続しませんでした（何も送っていません）。")
            .arg(host);
    case UploadOutcome::HostKeyRefused:
        return QStringLiteral("サーバー「%1」の鍵を信頼しなかったため、接続しませんでした。")
            .arg(host);
    case UploadOutcome::CertificateRefused:
        return QStringLiteral("サーバー「%1」の証明書を信頼できなかったため、"
                              "接続しませんでした（何も送っていません）。"
                              "証明書がほかのホスト名のものか、期限が切れているか、"
                              "信頼しないと答えた証明書です。")
            .arg(host);
    case UploadOutcome::CertificateChanged:
        return QStringLiteral(
                   "警告：サーバー「%1」（ポート%2）の証明書の鍵が、以前に信頼した鍵と違います。"
                   "サーバーが入れ替わったか、だれかが通信を横取りしているおそれがあるため、"
                   "接続しませんでした（何も送っていません）。\n"
                   "証明書が新しくなったことをサーバーの管理者に確かめてから、%3 の"
                   "「[%1]:%2」の行を削除してください。")
            .arg(host)
            .arg(site.port)
            .arg(pinnedCertificates);
    case UploadOutcome::NoEncryption:
        return QStringLiteral("サーバー「%1」は暗号化（TLS）での接続に応じなかったため、"
                              "ユーザー名もパスワードも送らずに接続をやめました。"
                              "FTPS（明示的 TLS）に対応したサーバーか確かめてください。")
            .arg(host);
    case UploadOutcome::NoPermission:
        if (site.protocol == SiteAddress::Protocol::Ftps)
            return QStringLiteral("サーバーのフォルダー「%1」に書き込めませんでした。"
                                  "フォルダーがあるか、書き込む権限があるかを確かめてください。")
                       .arg(site.folder)
                   + oldFileKept();
        return QStringLiteral("サーバーのフォルダー「%1」に書き込む権限がありません。")
                   .arg(site.folder)
               + oldFileKept();
    case UploadOutcome::DiskFull:
        return QStringLiteral("サーバーの空き容量が足りません。日記を置き換えるあいだは、"
                              "古い日記と新しい日記の二つ分の空きが要ります。")
               + oldFileKept();
    case UploadOutcome::ReadOnlyKept:
        return QStringLiteral("サイトの日記「%1」は読み取り専用のため、置き換えませんでした。")
                   .arg(remotePath(site, site.fileName))
               + oldFileKept();
    case UploadOutcome::FolderMissing:
        return QStringLiteral(
                   "サーバーにフォルダー「%1」がありません。公開の設定を確かめてください。")
            .arg(site.folder);
    case UploadOutcome::ConnectionLost:
        return QStringLiteral("送信の途中で接続が切れました。") + oldFileKept();
    case UploadOutcome::SizeMismatch:
        return QStringLiteral("サーバーに届いたファイルの大きさが日記と違いました。")
               + oldFileKept();
    case UploadOutcome::NoTls:
        return QStringLiteral("サーバー「%1」のポート%2とTLSで接続できませんでした。"
                              "ポート番号と、サーバーがFTPS（明示的 TLS）に対応しているかを"
                              "確かめてください（何も送っていません）。")
                   .arg(host)
                   .arg(site.port)
               + detailNote(result.detail);
    case UploadOutcome::Failed: break;
    }
    return QStringLiteral("送信できませんでした。") + oldFileKept() + detailNote(result.detail);
}

QString detailNote(const QString& detail)
{
    return detail.isEmpty() ? QString() : QStringLiteral("\n（詳細：%1）").arg(detail);
}
