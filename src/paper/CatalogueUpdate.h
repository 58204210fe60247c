#pragma once

#include <QString>

#include "paper/PapersV2.h"

namespace kestrel {

// The catalogue files an update works on: $(SystemPaperInfo) and $(UserPaperInfo).
struct TCatalogueFileNames {
    QString systemFile;
    QString userFile;
};
TCatalogueFileNames ProgramCatalogueFiles();

// The largest catalogue file an update installs.
inline constexpr qint64 MaxCatalogueFileSize = 64 * 1024 * 1024;

// An installation was refused or failed; the message says why, in Japanese.
class ECatalogueUpdate : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "ECatalogueUpdate"; }
};

// The texts the update shows wherever it runs.
inline const QString UnusableUpdateFileText = QStringLiteral("この用紙/メディア情報更新ファイルは使用できません");
inline const QString UpdateSucceededText = QStringLiteral("用紙/メディア情報のアップデートが正常に終了しました。");
inline const QString FetchFailedText = QStringLiteral("アップデートファイルの取得に失敗しました");
inline const QString NothingNewText = QStringLiteral("新しい更新情報はありません");
inline const QString NoNetworkText = QStringLiteral("現在の環境では、インターネットに接続できません。");
inline const QString NeedsAdministratorText = QStringLiteral("この機能の実行には管理者権限が必要です");

// Fails with the cause unless file is a regular file of at most MaxCatalogueFileSize.
void CheckCatalogueFilePlace(const QString& file);

// Throws ECatalogueUpdate (UnusableUpdateFileText and the cause) unless file is a regular file
// that opens as a catalogue whose "DirectPrinter" block has at least one line.
void CheckUpdateFile(TCatalogueIO io, const QString& file);

// Opens the system catalogue as at start-up (read-only, on a working copy, with its record bases)
// with the user's papers merged in, and puts it in place of what catalogue held. On failure
// catalogue stays as it was.
void ReloadCatalogue(TPapersV2& catalogue, const TCatalogueFileNames& names);

// Installs file as the system catalogue in place of the one in use: checks it, writes the user's
// papers back, writes the new catalogue beside the system file and renames it over that file,
// then reloads. The old file is kept until the reload succeeded and put back otherwise, so that
// a failure leaves the catalogue in use and on disk as it was; it raises ECatalogueUpdate with
// the cause. A file that passed the check is deleted at the end; one refused is left in place.
void InstallCatalogueFile(TPapersV2& catalogue, const QString& file, const TCatalogueFileNames& names);

// Whether this user may replace the system catalogue (its folder and the file are writable).
bool MayReplaceSystemCatalogue(const QString& systemFile);

}  // namespace kestrel
