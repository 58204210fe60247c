#pragma once

// A catalogue that knows disc papers (genres, printer data) and the papers of the tests.

#include <memory>

#include "paper/CatalogueTestSupport.h"
#include "paper/PaperInfo.h"
#include "paper/PapersV2.h"

namespace kestrel::test {

inline const QString DiscGroup = QStringLiteral("ダイレクトプリント\\12cmディスク");

// Printer data with one model, the disc group, and a model whose data leave out the ring limits.
inline const QStringList TestPrinterData{
    R"(<?xml version="1.0" encoding="Shift_JIS"?>)",
    "<root>",
    "<DirectPrinterInfo>",
    R"(<PrinterData PrinterName="Model X" TrayWidth="1357" TrayHeight="2557" CenterX="655" CenterY="1510")",
    R"(  MaxOuterWidth="1190" MaxOuterHeight="1190" MinInnerWidth="159" MinInnerHeight="159">)",
    R"(<FaceShape ShapeName="fsDoughnut"/><Purpose PurposeName="CD"/></PrinterData>)",
    R"(<PrinterData PrinterName="ダイレクトプリント\12cmディスク" TrayWidth="2100" TrayHeight="2970")",
    R"(  CenterX="1050" CenterY="1485" MaxOuterWidth="1200" MaxOuterHeight="1200" MinInnerWidth="159")",
    R"(  MinInnerHeight="159"><FaceShape ShapeName="fsDoughnut"/><Purpose PurposeName="CD"/></PrinterData>)",
    R"(<PrinterData PrinterName="Model &quot;Y&apos;" TrayWidth="1200" TrayHeight="1200" CenterX="600")",
    R"(  CenterY="600"><FaceShape ShapeName="fsDoughnut"/><Purpose PurposeName="CD"/></PrinterData>)",
    "</DirectPrinterInfo>",
    "</root>"};

// A 12 cm disc printed directly: one ring face of 118 mm with a 23 mm hole, 10 in from the corner.
inline std::unique_ptr<TFreePaperInfo> DiscPaper()
{
    auto paper = std::make_unique<TFreePaperInfo>();
    paper->SetPaperName(QStringLiteral("12cmディスク (印刷面 外径118mm/内径23mm)"));
    paper->SetGroupName(DiscGroup);
    paper->SetPortraitSize(1200, 1200);
    paper->SetReadOnly(true);
    TFaceItem& face = paper->Faces()->Add();
    face.SetRect({10, 10, 1190, 1190});
    face.SetFaceShape(fsDoughnut);
    face.SetFacePurpose(QStringLiteral("CD"));
    face.SetCutCenterWidth(230);
    face.SetCutCenterHeight(230);
    return paper;
}

// An open catalogue whose genres make the disc group a direct-print group.
struct TDiscCatalogue {
    TCatalogueFixture fixture;
    TPapersV2 catalogue{fixture.io};

    explicit TDiscCatalogue(const QStringList& printerData = TestPrinterData)
    {
        catalogue.Create("Kestrel.ppr");
        catalogue.WriteGlobalInfo("GenreInfo", {DiscGroup + "=ダイレクトプリント\\その他", "ラベル=ラベル"});
        catalogue.WriteGlobalInfo("DirectPrinter", printerData);
    }
};

}  // namespace kestrel::test
