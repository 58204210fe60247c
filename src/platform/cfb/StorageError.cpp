#include "platform/cfb/StorageError.h"

namespace kestrel {

namespace {
QString MessageTemplate(TStorageErrorCode code)
{
    switch (code) {
    case TStorageErrorCode::InvalidFunction: return QStringLiteral("「%1」に対してこの操作はできません");
    case TStorageErrorCode::FileNotFound: return QStringLiteral("ファイル「%1」が見つかりません");
    case TStorageErrorCode::PathNotFound: return QStringLiteral("「%1」が見つかりません");
    case TStorageErrorCode::AccessDenied: return QStringLiteral("「%1」へのアクセスが拒否されました");
    case TStorageErrorCode::InsufficientMemory: return QStringLiteral("「%1」を扱うためのメモリが足りません");
    case TStorageErrorCode::SeekError: return QStringLiteral("ストリーム「%1」の位置が範囲外です");
    case TStorageErrorCode::WriteFault: return QStringLiteral("ファイル「%1」に書き込めませんでした");
    case TStorageErrorCode::ReadFault: return QStringLiteral("ファイル「%1」を読み込めませんでした");
    case TStorageErrorCode::FileAlreadyExists: return QStringLiteral("「%1」は既に存在します");
    case TStorageErrorCode::InvalidParameter: return QStringLiteral("「%1」に対する指定が正しくありません");
    case TStorageErrorCode::InvalidHeader: return QStringLiteral("「%1」は複合ファイルではありません");
    case TStorageErrorCode::InvalidName: return QStringLiteral("「%1」は要素名として使えません");
    case TStorageErrorCode::Reverted: return QStringLiteral("「%1」は削除されたか閉じられています");
    case TStorageErrorCode::DocFileCorrupt: return QStringLiteral("複合ファイル「%1」は壊れています");
    case TStorageErrorCode::DocFileTooLarge: return QStringLiteral("「%1」は複合ファイルに収まらない大きさです");
    }
    return QStringLiteral("「%1」で記憶域のエラーが発生しました");
}
}  // namespace

QString StorageErrorMessage(TStorageErrorCode code, const QString& subject, const QString& detail)
{
    QString message = MessageTemplate(code).arg(subject);
    if (!detail.isEmpty())
        message += QStringLiteral("（%1）").arg(detail);
    return message;
}

void ThrowStorageError(TStorageErrorCode code, const QString& subject, const QString& detail)
{
    throw EStorageError(code, StorageErrorMessage(code, subject, detail));
}

}  // namespace kestrel
