#include "text/CDDFile.h"

#include <QFile>
#include <gtest/gtest.h>

#include "platform/cfb/StorageError.h"
#include "support/TestEnvironment.h"
#include "text/DistortionPresets.h"

namespace kestrel {
namespace {

QString FilePath(const QString& name)
{
    return test::TestFolder() + u'/' + name;
}

const QByteArray ShippedSource()
{
    QFile file(QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../data/distortions/distortions.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(CDDFile, ShippedPresetsCompileReadBackByteForByteAndAreFoundByIdentifier)
{
    const auto presets = ParseDistortionSource(ShippedSource());
    ASSERT_GE(presets.size(), 12u);
    const QString path = FilePath("presets.cdd");
    WriteDistortionFile(path, presets);
    TCDDFile file;
    EXPECT_EQ(file.Count(), 0);
    file.Open(path);
    ASSERT_EQ(file.Count(), int(presets.size()));
    for (int i = 0; i < file.Count(); ++i) {
        TCoonsDistortion d;
        file.Load(d, i);
        EXPECT_EQ(file.Name(i), presets[i].name);
        EXPECT_EQ(d.WriteData(), presets[i].distortion.WriteData());
        for (int side = 0; side < 4; ++side) EXPECT_GE(d.PointCount(side), 2) << "every side has a segment";
    }
    TCoonsDistortion third;
    file.Load(third, 2);
    third.SetRatio(40);
    EXPECT_EQ(file.IndexOf(third), 2) << "the identifier survives a ratio";
    EXPECT_EQ(file.IndexOf(TCoonsDistortion()), -1);
    // Identifiers come from the names: a second build gives the same ones.
    EXPECT_EQ(ParseDistortionSource(ShippedSource())[2].distortion.Guid(), presets[2].distortion.Guid());
    EXPECT_THROW(file.Open(FilePath("none.cdd")), EStorageError);
    EXPECT_EQ(file.Count(), 0);
}

TEST(CDDFile, ADamagedPresetFailsWithTheStorageErrorAndLeavesTheDistortion)
{
    const QString path = FilePath("damaged.cdd");
    {
        TFileStorage root(path, ModeCreate);
        TDocStreamList list;
        list.Open(root, "CoonsDistortionData\\NameList");
        list.OpenStream(list.AddNew(), ModeCreate)->WriteAll(QByteArray(40, '\x7f'));
    }
    TCDDFile file;
    file.Open(path);
    TCoonsDistortion d = TCoonsDistortion::Identity();
    const QByteArray before = d.WriteData();
    EXPECT_THROW(file.Load(d, 0), EStorageError);
    EXPECT_EQ(d.WriteData(), before);
}

TEST(DistortionSource, CornersGivenTwoWaysAndShortSidesAreRefused)
{
    EXPECT_THROW(ParseDistortionSource(R"({"presets": [{"name": "x", "top": [[0,0],[1,0]], "right": [[1,0.2],[1,1]],
        "bottom": [[0,1],[1,1]], "left": [[0,0],[0,1]]}]})"), EKestrel);
    EXPECT_THROW(ParseDistortionSource(R"({"presets": [{"name": "x", "top": [[0,0]], "right": [[1,0],[1,1]],
        "bottom": [[0,1],[1,1]], "left": [[0,0],[0,1]]}]})"), EKestrel);
    EXPECT_THROW(ParseDistortionSource("{"), EKestrel);
}

}  // namespace
}  // namespace kestrel
