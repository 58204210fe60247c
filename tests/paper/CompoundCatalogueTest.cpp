// The catalogue on real files: component streams for its records, compound files for the
// catalogue, each checked against an independent reader.

#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <cstring>

#include "CatalogueTestSupport.h"
#include "document/stream/ValueCodec.h"
#include "paper/CatalogueSource.h"
#include "paper/CatalogueStartup.h"
#include "support/CfbTestSupport.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::SimplePaper;

const TStreamComponentCodec Codec;

template <class T>
std::unique_ptr<T> ReadBack(const QByteArray& bytes)
{
    return ReadComponentAs<T>(Codec, bytes, QStringLiteral("test"));
}

// Catalogues keep papers in portrait form, so a landscape paper is compared as its portrait.
void ExpectSamePaper(const TPaperInfo& source, const TPaperInfo& actual)
{
    SCOPED_TRACE(source.PaperName().toStdString());
    const std::unique_ptr<TPaperInfo> portrait = source.Clone();
    portrait->SetLandscape(false);
    const TPaperInfo& expected = *portrait;
    EXPECT_FALSE(actual.Landscape());
    EXPECT_EQ(actual.ClassName(), expected.ClassName());
    EXPECT_EQ(actual.PaperName(), expected.PaperName());
    EXPECT_EQ(actual.GroupName(), expected.GroupName());
    EXPECT_EQ(actual.ReadOnly(), expected.ReadOnly());
    EXPECT_EQ(actual.PortraitWidth(), expected.PortraitWidth());
    EXPECT_EQ(actual.PortraitHeight(), expected.PortraitHeight());
    ASSERT_EQ(actual.GetFaceCount(), expected.GetFaceCount());
    for (int i = 0; i < expected.GetFaceCount(); ++i) {
        TFaceGeometry want, got;
        expected.FillFaceInfo(i, want);
        actual.FillFaceInfo(i, got);
        EXPECT_EQ(got.rect, want.rect) << "face " << i;
        EXPECT_EQ(got.margin, want.margin) << "face " << i;
        EXPECT_EQ(got.shape, want.shape) << "face " << i;
        EXPECT_EQ(got.purpose, want.purpose) << "face " << i;
        EXPECT_EQ(got.centerShape, want.centerShape) << "face " << i;
        EXPECT_EQ(got.roundSize, want.roundSize) << "face " << i;
        EXPECT_EQ(got.cutCenterWidth, want.cutCenterWidth) << "face " << i;
        EXPECT_EQ(got.cutCenterHeight, want.cutCenterHeight) << "face " << i;
    }
}

// A property name as the stream writes it: its length byte, then the name.
QByteArray Record(const char* name)
{
    return char(strlen(name)) + QByteArray(name);
}

TEST(CompoundCatalogue, HoleRecordsAreWrittenOnlyWhenNeededAndReadBack)
{
    struct Case {
        int width, height;
        bool cutCenter, sizes;
    };
    for (const Case c :
         {Case{410, 410, false, false}, Case{300, 300, true, false}, Case{300, 200, false, true}}) {
        SCOPED_TRACE(c.width * 1000 + c.height);
        TMatrixPaperInfo matrix = SimplePaper("M");
        matrix.SetCutCenterWidth(c.width);
        matrix.SetCutCenterHeight(c.height);
        TFreePaperInfo freePaper;
        freePaper.SetPaperName("F");
        TFaceItem& face = freePaper.Faces()->Add();
        face.SetRect({10, 20, 510, 620});
        face.SetCutCenterWidth(c.width);
        face.SetCutCenterHeight(c.height);

        const QByteArray matrixBytes = Codec.Write(matrix);
        const QByteArray freeBytes = Codec.Write(freePaper);
        for (const QByteArray& bytes : {matrixBytes, freeBytes}) {
            EXPECT_EQ(bytes.contains(Record("CutCenter")), c.cutCenter);
            EXPECT_EQ(bytes.contains(Record("CutCenterWidth")), c.sizes);
            EXPECT_EQ(bytes.contains(Record("CutCenterHeight")), c.sizes);
            EXPECT_FALSE(bytes.contains(Record("FaceType")));
        }
        ExpectSamePaper(matrix, *ReadBack<TMatrixPaperInfo>(matrixBytes));
        ExpectSamePaper(freePaper, *ReadBack<TFreePaperInfo>(freeBytes));
    }
}

// A stream of an older catalogue: "FaceType" instead of shape and purpose, "CutCenter" 0.
QByteArray LegacyStream(const char* className, bool inFaceItem, int faceType, int cutCenter)
{
    QByteArray bytes("TPF0");
    TWriter writer(bytes);
    writer.WriteShortString(className);
    writer.WriteShortString("");
    writer.WriteShortString("PaperName");
    writer.WriteString("Old");
    const auto records = [&] {
        writer.WriteShortString("FaceType");
        writer.WriteInteger(faceType);
        writer.WriteShortString("CutCenter");
        writer.WriteInteger(cutCenter);
    };
    if (inFaceItem) {
        writer.WriteShortString("Faces");
        writer.WriteValueType(TValueType::vaCollection);
        writer.WriteListBegin();
        records();
        writer.WriteListEnd();
        writer.WriteListEnd();
    } else {
        records();
    }
    writer.WriteListEnd();
    writer.WriteListEnd();
    return bytes;
}

TEST(CompoundCatalogue, OlderFaceTypeAndCutCenterRecordsAreRead)
{
    auto matrix = ReadBack<TMatrixPaperInfo>(LegacyStream("TMatrixPaperInfo", false, 1, 0));
    EXPECT_EQ(matrix->FaceShape(), fsDoughnut);
    EXPECT_EQ(matrix->FacePurpose(), "CD");
    EXPECT_EQ(matrix->CutCenterWidth(), 410);
    EXPECT_EQ(matrix->CutCenterHeight(), 410);

    auto freePaper = ReadBack<TFreePaperInfo>(LegacyStream("TFreePaperInfo", true, 6, 250));
    ASSERT_EQ(freePaper->FaceList().Count(), 1);
    const TFaceItem& face = freePaper->FaceList().Item(0);
    EXPECT_EQ(face.FaceShape(), fsEllipse);
    EXPECT_EQ(face.FacePurpose(), "");
    EXPECT_EQ(face.CutCenterWidth(), 250);
    EXPECT_EQ(face.CutCenterHeight(), 250);
}

TEST(CompoundCatalogue, TheComponentNameIsNeverWritten)
{
    TMatrixPaperInfo paper = SimplePaper("P");
    paper.SetName("Secret");
    EXPECT_FALSE(Codec.Write(paper).contains("Secret"));
    EXPECT_EQ(paper.Name(), "Secret");
}

QString BuildShippedCatalogue(const TCatalogueSource& source)
{
    const QString file = test::TestFolder() + "/kestrel.ppr";
    const TPaperCatalogue service;
    TPapersV2 catalogue(service.IO());
    catalogue.Create(file);
    BuildCatalogue(source, catalogue);
    catalogue.Close();
    return file;
}

TEST(CompoundCatalogue, TheShippedCatalogueIsACompoundFileThatReadsBackTheSame)
{
    const TCatalogueSource source = test::LoadShippedSource();
    const QString file = BuildShippedCatalogue(source);

    const test::TOleListing listing = test::ListWithOlefile(file);
    for (const char* stream : {"PurposeList/PurposeList", "UpdateInfo/UpdateInfo", "GroupList/GroupList",
                               "CompanyList/CompanyList", "Papers/$00000001"})
        EXPECT_TRUE(listing.streams.contains(stream)) << stream;
    const auto paperStreams = std::count_if(listing.streams.keyBegin(), listing.streams.keyEnd(),
                                            [](const QString& path) { return path.startsWith("Papers/$"); });
    EXPECT_EQ(size_t(paperStreams), source.papers.size());

    TPaperCatalogue service;
    service.OpenSystem(file);
    TPapersV2& catalogue = *service.Catalogue();
    ASSERT_EQ(size_t(catalogue.Count()), source.papers.size());
    for (int i = 0; i < catalogue.Count(); ++i) ExpectSamePaper(*source.papers[i], catalogue.Paper(i));
    EXPECT_EQ(catalogue.UpdateInfo().PPRNo(), source.pprNo);
    EXPECT_EQ(catalogue.GroupList().Lines(), source.groups);
    EXPECT_EQ(catalogue.Purposes().Count(), source.purposes.Count());
}

TEST(CompoundCatalogue, ADamagedFileFailsAndLeavesTheWorkingCopyAlone)
{
    const QString file = test::TestFolder() + "/damaged.ppr";
    test::WriteFileBytes(file, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\x7F'));
    TMemoryCatalogueStorage tree;
    tree.WriteStream("Kept\\Stream", "data");
    EXPECT_THROW(TCompoundCatalogueFiles().Load(file, tree), EKestrel);
    EXPECT_EQ(tree.ReadStream("Kept\\Stream"), "data");

    // A folder where the catalogue should be is no empty catalogue.
    const QString folder = test::TestFolder() + "/folder.ppr";
    QDir().mkpath(folder);
    TPaperCatalogue service;
    EXPECT_THROW(service.OpenSystem(folder), EKestrel);
}

TEST(CompoundCatalogue, FreePascalReadsAPaperStream)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());
    TMatrixPaperInfo paper = SimplePaper("Fpc");
    paper.SetCutCenterWidth(300);
    paper.SetCutCenterHeight(300);
    paper.SetStorePurposes(true);
    paper.PurposeList()->Add(TPurposeInfo("CD", "CD", {fsDoughnut}));
    const QString file = test::TestFolder() + "/paper.bin";
    test::WriteFileBytes(file, Codec.Write(paper));

    const QString text = QString::fromLatin1(test::RunFpcStreamCheck(helper, "totext", file));
    for (const char* line :
         {"TMatrixPaperInfo\n", "  Landscape = False\n", "  Width = 2100\n", "  Height = 2970\n",
          "  PaperName = 'Fpc'\n", "  FaceShape = fsDoughnut\n", "  FacePurpose = 'CD'\n",
          "      ShapeMask = [fsDoughnut]\n", "  CutCenter = 300\n"})
        EXPECT_TRUE(text.contains(line)) << line << " in\n" << text.toStdString();
    EXPECT_FALSE(text.contains("CutCenterWidth"));
    EXPECT_TRUE(text.endsWith("end\n"));
}

// Processor time of the calling thread: the machine's other work does not count.
double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// Building, saving and opening a catalogue of n copies of the shipped papers; seconds per paper.
double SecondsPerPaper(const TCatalogueSource& shipped, int n)
{
    TCatalogueSource source;
    source.purposes = shipped.purposes;
    source.groups = shipped.groups;
    for (int i = 0; i < n; ++i) {
        source.papers.push_back(shipped.papers[size_t(i) % shipped.papers.size()]->Clone());
        source.papers.back()->SetPaperName(QStringLiteral("用紙 %1").arg(i));
    }
    const double start = ThreadCpuSeconds();
    const QString file = BuildShippedCatalogue(source);
    TPaperCatalogue service;
    service.OpenSystem(file);
    EXPECT_EQ(service.Catalogue()->Count(), n);
    EXPECT_EQ(service.Catalogue()->IndexOfName(QStringLiteral("用紙 %1").arg(n - 1)), n - 1);
    return (ThreadCpuSeconds() - start) / n;
}

// Catalogues used to be built and opened in time growing with the square of their papers.
TEST(CompoundCatalogue, CataloguesBuildAndOpenInTimeLinearInTheirPapers)
{
    const TCatalogueSource shipped = test::LoadShippedSource();
    SecondsPerPaper(shipped, 200);  // everything loaded once
    const double small = SecondsPerPaper(shipped, 1000), large = SecondsPerPaper(shipped, 6000);
    EXPECT_LT(large, small * 2.5) << small * 1000 << " ms per paper of 1000, " << large * 1000 << " of 6000";
}

}  // namespace
}  // namespace kestrel
