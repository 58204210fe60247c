#include "platform/SystemErrorText.h"

#include <QFileDevice>
#include <QNetworkReply>
#include <cerrno>

namespace kestrel {

namespace {

// The depth past which Qt's JSON parser gives up.
constexpr int QtJsonNestingLimit = 1024;

struct TErrnoText {
    int number;
    const char* text;
};

// The failures a user can meet while opening, reading or writing files.
constexpr TErrnoText kErrnoTexts[] = {
    {ENOENT, "ファイルまたはフォルダがありません"},
    {EACCES, "アクセス権がありません"},
    {EPERM, "この操作は許可されていません"},
    {ENOSPC, "ディスクの空き容量が足りません"},
    {EDQUOT, "ディスクの使用量の上限を超えました"},
    {EROFS, "読み取り専用のファイルシステムです"},
    {EISDIR, "フォルダです"},
    {ENOTDIR, "パスの途中にフォルダでないものがあります"},
    {EEXIST, "既に存在します"},
    {ENAMETOOLONG, "ファイル名が長すぎます"},
    {ELOOP, "シンボリックリンクが循環しています"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ENFILE, "システムで開いているファイルが多すぎます"},
    {EIO, "入出力エラーが発生しました"},
    {EXDEV, "別のファイルシステムへは移動できません"},
    {EBUSY, "ファイルが使用中です"},
    {ETXTBSY, "ファイルが使用中です"},
    {EFBIG, "ファイルが大きすぎます"},
    {ENOMEM, "メモリが足りません"},
    {ENXIO, "装置がありません"},
    {ENODEV, "装置がありません"},
    {EINVAL, "引数が正しくありません"},
    {EAGAIN, "一時的に利用できません。もう一度お試しください"},
    {ESTALE, "ネットワーク上のファイルが無効になりました"},
};

QString KindText(QFileDevice::FileError kind)
{
    switch (kind) {
        case QFileDevice::NoError:
            return QStringLiteral("エラーはありません");
        case QFileDevice::ReadError:
            return QStringLiteral("読み込みに失敗しました");
        case QFileDevice::WriteError:
            return QStringLiteral("書き込みに失敗しました");
        case QFileDevice::FatalError:
            return QStringLiteral("致命的なエラーが発生しました");
        case QFileDevice::ResourceError:
            return QStringLiteral("ディスクの空き容量などが足りません");
        case QFileDevice::OpenError:
            return QStringLiteral("開けませんでした");
        case QFileDevice::AbortError:
            return QStringLiteral("操作が中止されました");
        case QFileDevice::TimeOutError:
            return QStringLiteral("時間切れになりました");
        case QFileDevice::RemoveError:
            return QStringLiteral("削除できませんでした");
        case QFileDevice::RenameError:
            return QStringLiteral("名前を変更できませんでした");
        case QFileDevice::PositionError:
            return QStringLiteral("読み書きの位置を移動できませんでした");
        case QFileDevice::ResizeError:
            return QStringLiteral("大きさを変更できませんでした");
        case QFileDevice::PermissionsError:
            return QStringLiteral("アクセス権がありません");
        case QFileDevice::CopyError:
            return QStringLiteral("コピーできませんでした");
        case QFileDevice::UnspecifiedError:
            break;
    }
    return QStringLiteral("原因不明のエラーが発生しました");
}

QString ParseErrorText(QJsonParseError::ParseError error)
{
    switch (error) {
        case QJsonParseError::NoError:
            return QStringLiteral("エラーはありません");
        case QJsonParseError::UnterminatedObject:
            return QStringLiteral("オブジェクトが閉じていません");
        case QJsonParseError::MissingNameSeparator:
            return QStringLiteral("名前の後に「:」がありません");
        case QJsonParseError::UnterminatedArray:
            return QStringLiteral("配列が閉じていません");
        case QJsonParseError::MissingValueSeparator:
            return QStringLiteral("値の間に「,」がありません");
        case QJsonParseError::IllegalValue:
            return QStringLiteral("値が正しくありません");
        case QJsonParseError::TerminationByNumber:
            return QStringLiteral("数値の途中でデータが終わっています");
        case QJsonParseError::IllegalNumber:
            return QStringLiteral("数値が正しくありません");
        case QJsonParseError::IllegalEscapeSequence:
            return QStringLiteral("エスケープシーケンスが正しくありません");
        case QJsonParseError::IllegalUTF8String:
            return QStringLiteral("UTF-8 として正しくない文字列があります");
        case QJsonParseError::UnterminatedString:
            return QStringLiteral("文字列が閉じていません");
        case QJsonParseError::MissingObject:
            return QStringLiteral("オブジェクトが必要です");
        case QJsonParseError::DeepNesting:
            return QStringLiteral("入れ子が深すぎます（%1 段まで）").arg(QtJsonNestingLimit);
        case QJsonParseError::DocumentTooLarge:
            return QStringLiteral("データが大きすぎます");
        case QJsonParseError::GarbageAtEnd:
            return QStringLiteral("データの後に余分な文字があります");
    }
    return QStringLiteral("構文が正しくありません");
}

QString NetworkKindText(QNetworkReply::NetworkError error)
{
    switch (error) {
        case QNetworkReply::ConnectionRefusedError:
            return QStringLiteral("サーバー「%1」に接続できません(接続が拒否されました)");
        case QNetworkReply::RemoteHostClosedError:
            return QStringLiteral("サーバー「%1」との接続が途中で切れました");
        case QNetworkReply::HostNotFoundError:
            return QStringLiteral("サーバー「%1」が見つかりません");
        case QNetworkReply::TimeoutError:
            return QStringLiteral("サーバー「%1」からの応答がありません(時間切れ)");
        case QNetworkReply::OperationCanceledError:
            return QStringLiteral("サーバー「%1」からの応答が途絶えました(時間切れ)");
        case QNetworkReply::SslHandshakeFailedError:
            return QStringLiteral("サーバー「%1」との暗号化通信を始められません");
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
            return QStringLiteral("ネットワークに接続できません");
        case QNetworkReply::ProxyConnectionRefusedError:
            return QStringLiteral("プロキシ サーバー「%1」に接続できません(接続が拒否されました)");
        case QNetworkReply::ProxyConnectionClosedError:
            return QStringLiteral("プロキシ サーバー「%1」との接続が途中で切れました");
        case QNetworkReply::ProxyNotFoundError:
            return QStringLiteral("プロキシ サーバー「%1」が見つかりません");
        case QNetworkReply::ProxyTimeoutError:
            return QStringLiteral("プロキシ サーバー「%1」からの応答がありません(時間切れ)");
        case QNetworkReply::ProxyAuthenticationRequiredError:
            return QStringLiteral("プロキシ サーバー「%1」の認証に失敗しました(アカウント名とパスワードを確かめてください)");
        case QNetworkReply::ProtocolUnknownError:
        case QNetworkReply::ProtocolInvalidOperationError:
            return QStringLiteral("「%1」とは HTTP で通信できません");
        case QNetworkReply::ProtocolFailure:
            return QStringLiteral("サーバー「%1」の応答が HTTP として正しくありません");
        case QNetworkReply::TooManyRedirectsError:
        case QNetworkReply::InsecureRedirectError:
            return QStringLiteral("サーバー「%1」の転送指示に従えません");
        default:
            break;
    }
    return QStringLiteral("サーバー「%1」との通信でエラーが発生しました");
}

}  // namespace

QString NetworkErrorText(int networkError, const QString& host)
{
    const QString text = NetworkKindText(static_cast<QNetworkReply::NetworkError>(networkError));
    return text.contains(QLatin1String("%1")) ? text.arg(host) : text;
}

QString SystemErrorText(int errorNumber)
{
    for (const TErrnoText& known : kErrnoTexts)
        if (known.number == errorNumber) return QString::fromUtf8(known.text);
    return QStringLiteral("システムエラー %1").arg(errorNumber);
}

QString FileErrorText(const QFileDevice& file)
{
    // Qt words errno failures through qt_error_string, in the process's locale and translation.
    const QString reported = file.errorString();
    for (const TErrnoText& known : kErrnoTexts)
        if (reported == qt_error_string(known.number)) return QString::fromUtf8(known.text);
    return KindText(file.error());
}

QString JsonSyntaxErrorText(const QJsonParseError& error)
{
    return QStringLiteral("JSON の構文エラー(%1 バイト目: %2)").arg(error.offset).arg(ParseErrorText(error.error));
}

}  // namespace kestrel
