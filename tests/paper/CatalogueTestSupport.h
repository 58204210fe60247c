#pragma once

#include <QFile>
#include <map>
#include <set>

#include "paper/CatalogueStorage.h"
#include "paper/CatalogueJson.h"
#include "paper/CatalogueSource.h"
#include "paper/PapersV2.h"

namespace kestrel::test {

// A file of the shipped catalogue's source folder (data/papers).
inline QByteArray ShippedDataFile(const QString& name)
{
    QFile file(QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../data/papers/") + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// The source of the shipped catalogue (data/papers/papers.json).
inline QByteArray ShippedSource()
{
    return ShippedDataFile(QStringLiteral("papers.json"));
}

// The shipped source read with the files it names.
inline TCatalogueSource LoadShippedSource()
{
    return LoadCatalogueSource(ShippedSource(), &ShippedDataFile);
}

// Catalogue "files" kept in memory, with a count of saves per file.
class TFakeCatalogueFiles : public ICatalogueFiles {
public:
    bool Exists(const QString& fileName) const override { return files_.count(fileName) > 0; }
    void Load(const QString& fileName, TMemoryCatalogueStorage& into) const override { into = files_.at(fileName); }
    void Save(const TMemoryCatalogueStorage& tree, const QString& fileName) const override
    {
        files_[fileName] = tree;
        ++saves_[fileName];
    }

    TMemoryCatalogueStorage& File(const QString& fileName) const { return files_[fileName]; }
    int Saves(const QString& fileName) const { return saves_.count(fileName) ? saves_.at(fileName) : 0; }

private:
    mutable std::map<QString, TMemoryCatalogueStorage> files_;
    mutable std::map<QString, int> saves_;
};

// A per-paper record for the bases: the maker of a paper.
class TTestMakerInfo : public TExtraPaperInfo {
    KESTREL_PERSISTENT()
public:
    const QString& Maker() const { return maker_; }
    void SetMaker(const QString& maker) { maker_ = maker; }
    bool IsEmpty() const override { return maker_.isEmpty(); }

private:
    QString maker_;
};

inline const TClassInfo& TTestMakerInfo::StaticClass()
{
    static const TClassInfo info("TTestMakerInfo", &TExtraPaperInfo::StaticClass(), FactoryOf<TTestMakerInfo>(), [] {
        return TPropsOf<TTestMakerInfo>().String("Maker", &TTestMakerInfo::Maker, &TTestMakerInfo::SetMaker).Done();
    });
    return info;
}

inline TTestMakerInfo MakerRecord(const QString& paperName, const QString& maker)
{
    TTestMakerInfo record;
    record.SetPaperName(paperName);
    record.SetMaker(maker);
    return record;
}

// Everything a catalogue test needs.
struct TCatalogueFixture {
    TFakeCatalogueFiles files;
    TJsonComponentCodec codec = CatalogueJsonCodec({&TTestMakerInfo::StaticClass()});
    TCatalogueIO io{&files, &codec};

    static void RegisterBases(TPapersV2& papers)
    {
        papers.AddBase(std::make_unique<TExInfoBase>("ExtraInfos"));
        papers.AddBase(std::make_unique<TExInfoBase>("PaperImages"));
    }
};

inline TMatrixPaperInfo SimplePaper(const QString& name, bool readOnly = false, const QString& group = "group")
{
    TMatrixPaperInfo paper;
    paper.SetPaperName(name);
    paper.SetGroupName(group);
    paper.SetReadOnly(readOnly);
    paper.SetPortraitSize(2100, 2970);
    paper.SetFaceCountX(1);
    paper.SetFaceCountY(1);
    paper.SetFaceWidth(1000);
    paper.SetFaceHeight(1000);
    paper.SetLeftOffset(100);
    paper.SetTopOffset(100);
    paper.SetFacePurpose("CD");
    paper.SetFaceShape(fsDoughnut);
    return paper;
}

}  // namespace kestrel::test
