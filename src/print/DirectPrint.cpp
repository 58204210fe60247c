#include "print/DirectPrint.h"

#include <algorithm>

#include "app/AppFrame.h"
#include "paper/FaceShape.h"
#include "paper/PaperInfo.h"
#include "paper/PapersUI.h"
#include "paper/PapersV2.h"
#include "platform/PrinterConfiguration.h"
#include "platform/SettingsStore.h"
#include "print/PaperPrintSetting.h"

namespace kestrel {

namespace {

const QString PrinterDataBlock = QStringLiteral("DirectPrinter");

// The face's width and its hole's width.
int FaceWidth(const TPaperInfo& paper)
{
    return paper.GetFaceRect(0).Width();
}

int HoleWidth(const TPaperInfo& paper)
{
    return HasHole(paper.GetFaceShape(0)) ? paper.GetCutCenterSize(0).width() : 0;
}

QString RingKey(const TPaperInfo& paper)
{
    return ExpandMacro(QStringLiteral("$(SizeAdjustKey)\\.")) + paper.PaperName();
}

// The middle of the first face and the paper's size: the tray a paper has of itself.
TTrayGeometry OwnTray(const TPaperInfo& paper)
{
    const TSheetRect face = paper.GetFaceRect(0);
    return {(face.left + face.right) / 2, (face.top + face.bottom) / 2, paper.PortraitWidth(),
            paper.PortraitHeight()};
}

void CentreFace(TFaceItem& face, const TTrayGeometry& tray, const TRingAdjustment& adjustment)
{
    const int width = face.Width(), height = face.Height();
    face.SetRect({tray.CenterX - width / 2 - adjustment.outer / 2,
                  tray.CenterY - height / 2 - adjustment.outer / 2, 0, 0});
    face.SetWidth(width + adjustment.outer);
    face.SetHeight(height + adjustment.outer);
    face.SetCutCenterWidth(face.CutCenterWidth() + adjustment.inner);
    face.SetCutCenterHeight(face.CutCenterHeight() + adjustment.inner);
}

void CentreFaces(TMatrixPaperInfo& paper, const TTrayGeometry& tray, const TRingAdjustment& adjustment)
{
    paper.SetLeftOffset(tray.CenterX - paper.FaceWidth() / 2 - adjustment.outer / 2);
    paper.SetTopOffset(tray.CenterY - paper.FaceHeight() / 2 - adjustment.outer / 2);
    paper.SetFaceWidth(paper.FaceWidth() + adjustment.outer);
    paper.SetFaceHeight(paper.FaceHeight() + adjustment.outer);
    paper.SetCutCenterWidth(paper.CutCenterWidth() + adjustment.inner);
    paper.SetCutCenterHeight(paper.CutCenterHeight() + adjustment.inner);
}

}  // namespace

// --- Printer data ---------------------------------------------------------------------------------

TDirectPrinterInfo::TDirectPrinterInfo(const TPapersV2* catalogue) : catalogue_(catalogue)
{
    QStringList lines;
    if (catalogue_) catalogue_->ReadGlobalInfo(PrinterDataBlock, lines);
    if (lines.isEmpty()) return;
    store_ = std::make_unique<TXMLIniFile>();
    try {
        store_->LoadFromText(lines.join(QStringLiteral("\r\n")));
        printers_ = store_->FindSection(QStringLiteral("DirectPrinterInfo"));
    } catch (const EXMLStore&) {
        printers_.reset();  // damaged data lists no printer
    }
}

void TDirectPrinterInfo::SelectPrinter(const QString& name)
{
    selected_.reset();
    if (printers_ && !name.isEmpty())
        selected_ =
            printers_->FindSection(QStringLiteral("PrinterData[@PrinterName=%1]").arg(XPathLiteral(name)));
}

bool TDirectPrinterInfo::Supports(const TPaperInfo& paper) const
{
    if (!selected_ || !catalogue_ || paper.GetFaceCount() == 0 || !IsDirectPrintPaper(*catalogue_, paper))
        return false;
    const QString shape = QString::fromLatin1(FaceShapeInfo().names.at(size_t(paper.GetFaceShape(0))));
    return selected_->SectionExists(QStringLiteral("FaceShape[@ShapeName=%1]").arg(XPathLiteral(shape))) &&
           selected_->SectionExists(
               QStringLiteral("Purpose[@PurposeName=%1]").arg(XPathLiteral(paper.GetFacePurpose(0))));
}

int TDirectPrinterInfo::Attribute(const char* name) const
{
    return selected_->ReadInteger(QString::fromLatin1(name), 0);
}

TTrayGeometry TDirectPrinterInfo::GetTrayGeometry() const
{
    if (!selected_) return {};
    return {Attribute("CenterX"), Attribute("CenterY"), Attribute("TrayWidth"), Attribute("TrayHeight")};
}

std::optional<TRingLimits> TDirectPrinterInfo::GetLimits() const
{
    if (!selected_) return std::nullopt;
    return TRingLimits{Attribute("MaxOuterWidth"), Attribute("MaxOuterHeight"), Attribute("MinInnerWidth"),
                       Attribute("MinInnerHeight")};
}

QStringList TDirectPrinterInfo::ListPrinterNames() const
{
    QStringList names;
    if (!printers_) return names;
    const TXMLIniSectionList printers = printers_->GetSectionList(QStringLiteral("PrinterData"));
    for (int i = 0; i < printers.Count(); ++i)
        names << printers.Section(i).ReadString(QStringLiteral("PrinterName"), QString());
    return names;
}

std::unique_ptr<TPaperInfo> TDirectPrinterInfo::AdaptPaper(const TPaperInfo& paper) const
{
    if (!selected_ || !catalogue_ || !IsDirectPrintPaper(*catalogue_, paper)) return nullptr;
    std::unique_ptr<TPaperInfo> adapted = paper.Clone();
    auto* free = dynamic_cast<TFreePaperInfo*>(adapted.get());
    if (!free || free->GetFaceCount() == 0) return nullptr;
    const TTrayGeometry tray = GetTrayGeometry();
    const TRingLimits limits = *GetLimits();
    free->SetGroupName(selected_->ReadString(QStringLiteral("PrinterName"), QString()));
    free->SetPortraitSize(tray.TrayWidth, tray.TrayHeight);
    TFaceItem& face = free->Faces()->Item(0);
    face.SetCutCenterWidth(std::max(face.CutCenterWidth(), limits.minInnerWidth));
    face.SetCutCenterHeight(std::max(face.CutCenterHeight(), limits.minInnerHeight));
    // A limit the data does not give is no limit.
    if (limits.maxOuterWidth > 0 && face.Width() > limits.maxOuterWidth) face.SetWidth(limits.maxOuterWidth);
    if (limits.maxOuterHeight > 0 && face.Height() > limits.maxOuterHeight)
        face.SetHeight(limits.maxOuterHeight);
    const TSheetRect rect = face.Rect();
    face.SetLeft(face.Left() + tray.CenterX - (rect.left + rect.right) / 2);
    face.SetTop(face.Top() + tray.CenterY - (rect.top + rect.bottom) / 2);
    return adapted;
}

// --- Printers -------------------------------------------------------------------------------------

bool PrinterSupportsDirectPrint(IPrinterConfiguration& printer, const TPaperInfo& paper,
                                const TPapersV2* catalogue)
{
    TDirectPrinterInfo data(catalogue);
    data.SelectPrinter(printer.GetDriverName());
    return data.Supports(paper) || CanonTrayGeometry(printer) || EpsonTrayGeometry(printer);
}

TTrayGeometry TrayGeometryFor(IPrinterConfiguration& printer, const TPaperInfo& paper,
                              const TPapersV2* catalogue)
{
    if (const std::optional<TTrayGeometry> canon = CanonTrayGeometry(printer)) return *canon;
    TDirectPrinterInfo data(catalogue);
    data.SelectPrinter(printer.GetDriverName());
    const bool listed = data.Supports(paper);
    if (const std::optional<TTrayGeometry> epson = EpsonTrayGeometry(printer)) {
        if (!listed) return *epson;
        const TTrayGeometry tray = data.GetTrayGeometry();
        return {epson->CenterX, epson->CenterY, tray.TrayWidth, tray.TrayHeight};
    }
    if (!listed) data.SelectPrinter(paper.GroupName());
    return data.GetTrayGeometry();
}

std::optional<TTrayGeometry> DiscTrayOf(IPrinterConfiguration& printer, const TPapersV2* catalogue)
{
    if (std::optional<TTrayGeometry> tray = CanonTrayGeometry(printer)) return tray;
    if (std::optional<TTrayGeometry> tray = EpsonTrayGeometry(printer)) return tray;
    TDirectPrinterInfo data(catalogue);
    data.SelectPrinter(printer.GetDriverName());
    if (!data.HasSelection()) return std::nullopt;
    return data.GetTrayGeometry();
}

// --- Ring adjustment ------------------------------------------------------------------------------

TRingAdjustment ReadRingAdjustment(const TPaperInfo& paper)
{
    const TSettingsKey key(RingKey(paper));
    return {key.ReadInteger(paper.GroupName() + QStringLiteral(".Inner"), 0),
            key.ReadInteger(paper.GroupName() + QStringLiteral(".Outer"), 0)};
}

void WriteRingAdjustment(const TPaperInfo& paper, const TRingAdjustment& adjustment)
{
    TSettingsKey key(RingKey(paper));
    key.WriteInteger(paper.GroupName() + QStringLiteral(".Inner"), adjustment.inner);
    key.WriteInteger(paper.GroupName() + QStringLiteral(".Outer"), adjustment.outer);
}

TRingAdjustment LimitRingAdjustment(const TPaperInfo& paper, TRingAdjustment adjustment)
{
    if (paper.GetFaceCount() == 0) return {};
    const int face = FaceWidth(paper), hole = HoleWidth(paper);
    if (face + adjustment.outer > MaxPrintedFace) adjustment.outer = MaxPrintedFace - face;
    if (hole + adjustment.inner < 0) adjustment.inner = -hole;
    if ((face + adjustment.outer) - (hole + adjustment.inner) < MinRingWidth)
        adjustment.outer = hole + adjustment.inner - face + MinRingWidth;
    if (face + adjustment.outer > MaxPrintedFace) {
        // Widening the ring would leave the tray: the hole narrows instead.
        adjustment.outer = MaxPrintedFace - face;
        adjustment.inner = std::max(face + adjustment.outer - MinRingWidth - hole, -hole);
    }
    return adjustment;
}

std::unique_ptr<TPaperInfo> LayOutOnTray(const TPaperInfo& paper, const TTrayGeometry& tray,
                                         const TRingAdjustment& adjustment)
{
    std::unique_ptr<TPaperInfo> laidOut = paper.Clone();
    if (paper.GetFaceCount() == 0) return laidOut;
    const TTrayGeometry used = tray.IsEmpty() ? OwnTray(paper) : tray;
    laidOut->SetPortraitSize(used.TrayWidth, used.TrayHeight);
    if (auto* matrix = dynamic_cast<TMatrixPaperInfo*>(laidOut.get())) {
        CentreFaces(*matrix, used, adjustment);
    } else if (auto* free = dynamic_cast<TFreePaperInfo*>(laidOut.get())) {
        for (int i = 0; i < free->GetFaceCount(); ++i) CentreFace(free->Faces()->Item(i), used, adjustment);
    }
    return laidOut;
}

std::unique_ptr<TPaperInfo> PaperOnTray(IPrinterConfiguration& printer, const TPaperInfo& paper,
                                        const TPapersV2* catalogue)
{
    if (!catalogue || !IsDirectPrintPaper(*catalogue, paper)) return paper.Clone();
    return LayOutOnTray(paper, TrayGeometryFor(printer, paper, catalogue),
                        LimitRingAdjustment(paper, ReadRingAdjustment(paper)));
}

TRingBoxes RingBoxes(const TPaperInfo& paper, const std::optional<TRingLimits>& limits,
                     const TRingAdjustment& adjustment)
{
    constexpr int MaxStep = 1000;
    TRingBoxes boxes;
    if (paper.GetFaceCount() == 0) return boxes;
    boxes.nativeOuter = FaceWidth(paper);
    boxes.nativeInner = HoleWidth(paper);
    boxes.outerShown = paper.GetFaceShape(0) == fsDoughnut;
    boxes.innerShown = HasHole(paper.GetFaceShape(0)) && paper.GetCenterShape(0) == csEllipse;
    if (!limits) return boxes;
    const int maxOuter = limits->maxOuterWidth > 0 ? limits->maxOuterWidth : MaxPrintedFace;
    boxes.outerMax = std::min(MaxStep, maxOuter - boxes.nativeOuter);
    boxes.innerMin = std::max(-MaxStep, limits->minInnerWidth - boxes.nativeInner);
    boxes.outerMin =
        std::max(-MaxStep, boxes.nativeInner + adjustment.inner - boxes.nativeOuter + MinRingWidth);
    boxes.innerMax =
        std::min(MaxStep, boxes.nativeOuter + adjustment.outer - boxes.nativeInner - MinRingWidth);
    boxes.outerEnabled = boxes.outerMin != 0 || boxes.outerMax != 0;
    boxes.innerEnabled = boxes.innerMin != 0 || boxes.innerMax != 0;
    return boxes;
}

QString RingLimitsText(const TRingLimits& limits)
{
    return QStringLiteral(
               "外円・内円のサイズを調整することができます。\n"
               "ただし、外円では%1mmを超えるサイズ、内円では%2mm未満になるサイズに設定することはできません。")
        .arg(Millimetres(limits.maxOuterWidth > 0 ? limits.maxOuterWidth : MaxPrintedFace),
             Millimetres(limits.minInnerWidth));
}

// --- The document's paper -------------------------------------------------------------------------

TDirectPrintPaperAdapter::TDirectPrintPaperAdapter(const TPapersV2* catalogue, TPrinterName currentPrinter,
                                                   TPrinterOpener open)
    : catalogue_(catalogue), currentPrinter_(std::move(currentPrinter)), open_(std::move(open))
{
}

bool TDirectPrintPaperAdapter::IsDirectPrint(const TPaperInfo& paper)
{
    if (!catalogue_ || !paper.ReadOnly()) return false;
    const int version = catalogue_->UpdateInfo().PPRNo();
    if (genresVersion_ != version) {
        directPrintGroups_ = DirectPrintGroups(*catalogue_);
        genresVersion_ = version;
    }
    return directPrintGroups_.contains(paper.GroupName());
}

QString TDirectPrintPaperAdapter::DriverName(const QString& printer)
{
    const auto known = driverNames_.find(printer);
    if (known != driverNames_.end()) return known->second;
    QString name;
    try {
        name = open_(printer)->GetDriverName();
    } catch (const EKestrel&) {
        // A printer that has gone has no driver.
    }
    return driverNames_[printer] = name;
}

QString TDirectPrintPaperAdapter::Key(const TPaperInfo& paper)
{
    if (!IsDirectPrint(paper)) return {};
    const QString printer = currentPrinter_();
    return paper.GroupName() + u'\n' + printer + u'\n' + DriverName(printer);
}

std::unique_ptr<TPaperInfo> TDirectPrintPaperAdapter::Adapt(const TPaperInfo& paper)
{
    if (!IsDirectPrint(paper)) return paper.Clone();
    try {
        return PaperOnTray(*open_(currentPrinter_()), paper, catalogue_);
    } catch (const EKestrel&) {
        // Without its printer a disc keeps the catalogue's layout and its ring adjustment.
        return LayOutOnTray(paper, {}, LimitRingAdjustment(paper, ReadRingAdjustment(paper)));
    }
}

}  // namespace kestrel
