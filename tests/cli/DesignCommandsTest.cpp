#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegion>
#include <set>

#include "CliRun.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "paper/FaceGeometry.h"
#include "support/TestEnvironment.h"
#include "text/LOText.h"

namespace kestrel {
namespace {

using test::RunCli;

QJsonArray ShippedTemplates()
{
    QFile file(QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../data/templates/templates.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object().value("templates").toArray();
}

TEST(DesignCommands, TemplatesAreListedByPurposeAndGenreWithTheirCaptions)
{
    const test::TCliRun run = RunCli({"templates"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts).mid(1);
    std::set<QString> purposes, genres;
    for (const QString& line : lines) {
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 6) << line.toStdString();
        purposes.insert(fields[0]);
        genres.insert(fields[1]);
        EXPECT_FALSE(fields[4].isEmpty()) << "every shipped template has an ID: " << line.toStdString();
        EXPECT_TRUE(fields[5].contains(QStringLiteral("タイトル")) || fields[5].contains(QStringLiteral("アーティスト名")))
            << line.toStdString();
    }
    EXPECT_GE(lines.size(), 30);
    EXPECT_GE(genres.size(), 6u);
    EXPECT_EQ(purposes, (std::set<QString>{"CD", "CDCover", "CDCaseTray"}));
    EXPECT_TRUE(run.out.contains(QStringLiteral("曲名1 / 曲名2")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("曲名12")));
}

bool Inside(const TRect& inner, const TRect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// Every ink rectangle of the face's objects lies inside the face's shape and off its hole, and
// every text's laid-out lines lie inside its box.
void ExpectInsideFace(TLabelData& document, int face, const QString& name)
{
    const TFaceGeometry geometry = document.Face(face);
    TFaceGeometry atOrigin = geometry;
    const TSheetRect outer = geometry.OuterRect();
    atOrigin.rect = {geometry.rect.left - outer.left, geometry.rect.top - outer.top, geometry.rect.right - outer.left,
                     geometry.rect.bottom - outer.top};
    const QRegion shape = FaceRegion(atOrigin, true);
    TDOList list;
    document.LoadFaceObjects(face, list);
    ASSERT_FALSE(list.IsEmpty()) << name.toStdString();
    for (TDrawObject* object : list.Items()) {
        const TRect bounds = object->GetBounds();
        EXPECT_TRUE(Inside(bounds, {0, 0, outer.Width(), outer.Height()}))
            << name.toStdString() << " " << object->ClassName().toStdString();
        const auto* text = dynamic_cast<const TLOText*>(object);
        if (!text) continue;
        const TRect ink = text->Layout().GetTextBounds(text->Rect());
        EXPECT_TRUE(Inside(ink, text->Rect()))
            << name.toStdString() << ": " << text->Text().join(u' ').toStdString() << " does not fit its box";
        EXPECT_TRUE(QRegion(ink.ToQRect()).subtracted(shape).isEmpty())
            << name.toStdString() << ": " << text->Text().join(u' ').toStdString() << " runs off the face";
    }
}

TEST(DesignCommands, EveryShippedTemplateMakesADocumentThatStaysInsideItsFaces)
{
    const QJsonArray templates = ShippedTemplates();
    ASSERT_GE(templates.size(), 30);
    for (const QJsonValue& entry : templates) {
        const QString name = entry.toObject().value("name").toString();
        const QString file = test::TestFolder() + u'/' + name + QStringLiteral(".mld");
        const test::TCliRun made = RunCli({"new", "--template", name, file});
        ASSERT_EQ(made.exitCode, 0) << name.toStdString() << made.err.toStdString();
        TLabelData document;
        document.LoadFromFile(file);
        int designed = 0;
        for (int f = 0; f < document.FaceCount(); ++f) {
            if (!document.HasFaceObjects(f)) continue;
            ++designed;
            ExpectInsideFace(document, f, name);
        }
        EXPECT_GE(designed, 1) << name.toStdString();
        const QString picture = test::TestFolder() + u'/' + name + QStringLiteral(".png");
        const test::TCliRun rendered = RunCli({"render", file, "--dpi", "40", "--out", picture});
        ASSERT_EQ(rendered.exitCode, 0) << name.toStdString() << rendered.err.toStdString();
        EXPECT_FALSE(QImage(picture).isNull());
    }
}

TEST(DesignCommands, ATemplateByIdGoesOnEveryFittingFaceOfAnotherPaper)
{
    const QString file = test::TestFolder() + QStringLiteral("/two.mld");
    const test::TCliRun made =
        RunCli({"new", "--template", "s001", "--paper", QStringLiteral("A4 CDラベル 2面 (外径116mm/内径41mm)"), file});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    TLabelData document;
    document.LoadFromFile(file);
    EXPECT_TRUE(document.HasFaceObjects(0));
    EXPECT_TRUE(document.HasFaceObjects(1));
    ExpectInsideFace(document, 1, "s001 on 116 mm");

    const test::TCliRun jacket = RunCli({"new", "--template", "S001", "--paper", QStringLiteral("A4 ジャケット 2面 (120×120mm)"),
                                         test::TestFolder() + QStringLiteral("/jacket.mld")});
    EXPECT_NE(jacket.exitCode, 0);
    EXPECT_TRUE(jacket.err.contains(QStringLiteral("「S001」のテンプレートは現在のラベルに適合しません"))) << jacket.err.toStdString();
    const test::TCliRun unknown = RunCli({"new", "--template", "ZZZ9", file, "--force"});
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("「ZZZ9」は見つかりませんでした"))) << unknown.err.toStdString();
}

TEST(DesignCommands, BackgroundsAreListedWithGenresTilingAndIds)
{
    const test::TCliRun run = RunCli({"backgrounds"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts).mid(1);
    EXPECT_GE(lines.size(), 40);
    EXPECT_TRUE(run.out.contains(QStringLiteral("和柄\t青海波\tする")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("G001")));
}

}  // namespace
}  // namespace kestrel
