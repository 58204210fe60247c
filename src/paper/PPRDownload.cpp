#include "paper/PPRDownload.h"

#include <QTemporaryFile>

#include "app/InstallationKey.h"
#include "app/InternetEnvironment.h"
#include "paper/VersionUpFile.h"
#include "platform/Error.h"
#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"
#include "platform/SystemErrorText.h"
#include "platform/WorkingFiles.h"
#include "platform/ZlibContainer.h"

namespace kestrel {

namespace {
const QString AbortedText = QStringLiteral("中断しました");
}  // namespace

QString BuiltInUpdaterURL()
{
    return QStringLiteral("http://update.corvidworks.example/updater/KestrelMusic/ppr/KestrelMusic.vup");
}

QString UpdaterURLSetting()
{
    const QString url = ReadInstallationValue(QStringLiteral("PPRUpdaterURL"));
    return url.isEmpty() ? BuiltInUpdaterURL() : url;
}

TUpdateTempFile::TUpdateTempFile(const char* prefix)
    : file_(std::make_unique<QTemporaryFile>(WorkingFileTemplate(QStringLiteral(".tmp"), prefix)))
{
}

TUpdateTempFile::~TUpdateTempFile()
{
    UnregisterWorkingFile(file_->fileName());
}

void TUpdateTempFile::Create()
{
    if (!file_->open()) throw EKestrel(QStringLiteral("一時ファイルを作成できません: %1").arg(FileErrorText(*file_)));
    file_->close();
    RegisterWorkingFile(file_->fileName());
}

QString TUpdateTempFile::FileName() const
{
    return file_->fileName();
}

namespace {

// The catalogue in bytes that may be a compressed container, written unpacked to the file.
void WriteUnpacked(const QByteArray& bytes, const QString& file)
{
    WriteFileReplacing(file, UnpackIfContainer(bytes, MaxCatalogueDownload));
}

}  // namespace

std::unique_ptr<TUpdateTempFile> CopyChosenUpdateFile(const QString& chosen)
{
    const QByteArray bytes = ReadRegularFile(chosen, MaxCatalogueDownload);
    auto copy = std::make_unique<TUpdateTempFile>(CatalogueDownloadPrefix);
    copy->Create();
    WriteUnpacked(bytes, copy->FileName());
    return copy;
}

TPPRDownload::TPPRDownload() = default;

TPPRDownload::~TPPRDownload() = default;

QString TPPRDownload::DownloadFileName() const
{
    return target_ ? target_->FileName() : QString();
}

void TPPRDownload::UseProxy(const TProxySettings& settings)
{
    http_.SetPort(THTTPDownload::DefaultPort);
    const bool proxy = !settings.noProxy;
    const bool account = proxy && settings.useAccount;
    http_.SetProxy(proxy ? settings.address : QString());
    http_.SetProxyPort(proxy ? settings.PortNumber() : 0);
    http_.SetProxyUserName(account ? settings.account : QString());
    http_.SetProxyUserPass(account ? settings.password : QString());
}

bool TPPRDownload::Failed(const QString& reason)
{
    error_ = reason;
    return false;
}

bool TPPRDownload::Check()
{
    target_.reset();
    packed_.reset();
    version_ = 0;
    date_ = 0;
    catalogueURL_.clear();
    aborted_ = false;
    http_.SetURL(updaterURL_);
    http_.SetDownloadMode(false);
    http_.SetMaxBytes(MaxVersionUpFileSize);
    http_.Get();
    if (std::exchange(aborted_, false)) return Failed(AbortedText);
    if (!http_.Succeeded()) return Failed(http_.ErrorText());
    const std::optional<TVersionUp> found = ReadVersionUpFile(http_.DownloadFileStr());
    if (!found) return Failed(QStringLiteral("更新情報ファイルの内容が正しくありません"));
    auto target = std::make_unique<TUpdateTempFile>(CatalogueDownloadPrefix);
    auto packed = found->Compressed() ? std::make_unique<TUpdateTempFile>(CompressedDownloadPrefix) : nullptr;
    try {
        target->Create();
        if (packed) packed->Create();
    } catch (const EKestrel& e) {
        return Failed(e.Message());
    }
    version_ = found->version;
    date_ = found->date;
    catalogueURL_ = updaterURL_.left(updaterURL_.lastIndexOf(u'/')) + u'/' + found->catalogue;
    target_ = std::move(target);
    packed_ = std::move(packed);
    return true;
}

bool TPPRDownload::Download()
{
    if (!target_) return Failed(QStringLiteral("ダウンロードするファイルがありません"));
    aborted_ = false;
    http_.SetURL(catalogueURL_);
    http_.SetDownloadFileName((packed_ ? packed_ : target_)->FileName());
    http_.SetMaxBytes(MaxCatalogueDownload);
    http_.Get();
    bool ready = false;
    if (aborted_)
        Failed(AbortedText);
    else if (!http_.Succeeded())
        Failed(http_.ErrorText());
    else
        ready = !packed_ || Unpacked();
    packed_.reset();
    if (!ready) target_.reset();
    return ready;
}

// A download named as packed that is not a container is refused rather than taken as it is.
bool TPPRDownload::Unpacked()
{
    try {
        const QByteArray packed = ReadRegularFile(packed_->FileName(), MaxCatalogueDownload);
        if (!HasContainerSignature(packed))
            return Failed(QStringLiteral("ダウンロードしたファイルは圧縮された用紙/メディア情報ではありません"));
        WriteUnpacked(packed, target_->FileName());
        return true;
    } catch (const EKestrel& e) {
        return Failed(e.Message());
    }
}

void TPPRDownload::Abort()
{
    aborted_ = true;
    http_.Abort();
}

}  // namespace kestrel
