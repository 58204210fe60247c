#include "paper/CatalogueStartup.h"

#include <QFileInfo>

#include "platform/Error.h"

namespace kestrel {

namespace {

QString CannotOpenMessage(const QString& fileName)
{
    return QStringLiteral("アプリケーションに必要なファイル「%1」が開けませんでした").arg(QFileInfo(fileName).fileName());
}

std::unique_ptr<TPapersV2> OpenWithBases(TCatalogueIO io, const QString& fileName, const TRegisterBases& registerBases)
{
    auto catalogue = std::make_unique<TPapersV2>(io);
    try {
        catalogue->Open(fileName, true, true);
        if (registerBases) registerBases(*catalogue);
    } catch (const EKestrel& e) {
        throw EKestrel(CannotOpenMessage(fileName) + u'\n' + e.Message());
    }
    return catalogue;
}

}  // namespace

std::unique_ptr<TPapersV2> OpenMergedCatalogue(TCatalogueIO io, const QString& systemFile, const QString& userFile,
                                               const TRegisterBases& registerBases)
{
    if (!io.files->Exists(systemFile)) throw EKestrel(CannotOpenMessage(systemFile));
    if (io.files->IsReadOnly(systemFile))
        throw EKestrel(QStringLiteral("実行に必要なファイル「%1」が読み取り専用になっています")
                           .arg(QFileInfo(systemFile).fileName()));
    std::unique_ptr<TPapersV2> catalogue = OpenWithBases(io, systemFile, registerBases);
    if (io.files->Exists(userFile)) {
        std::unique_ptr<TPapersV2> user = OpenWithBases(io, userFile, registerBases);
        try {
            catalogue->Merge(*user, true, false);
        } catch (const EKestrel& e) {
            throw EKestrel(CannotOpenMessage(userFile) + u'\n' + e.Message());
        }
    }
    catalogue->SetModified(false);
    return catalogue;
}

void WriteBackUserPapers(TPapersV2& catalogue, TCatalogueIO io, const QString& userFile,
                         const TRegisterBases& registerBases)
{
    if (!catalogue.Modified()) return;
    TPapersV2 user(io);
    user.Create(userFile);
    if (registerBases) registerBases(user);
    user.Merge(catalogue, true, false);
    user.Close();
}

}  // namespace kestrel
