#include "document/DrawObject.h"

#include <algorithm>

#include "app/ExceptionReport.h"
#include "document/CanvasMixing.h"
#include "platform/Canvas.h"
#include "platform/Error.h"
#include "platform/Rounding.h"
#include "document/Capabilities.h"

namespace kestrel {

namespace {

TMaskBlender& InstalledMaskBlender()
{
    static TMaskBlender blender;
    return blender;
}

// What blended painting mixes over one device area: the object's own image, its mask and ratio.
struct TBlendParts {
    QImage own;
    QImage mask;
    int ratio;
};

// The device pixels of the canvas the object can show on.
TRect BlendArea(const TDrawObject& object, const TCanvas& canvas)
{
    const TRect work = object.GetBounds().Normalized().Intersected(canvas.ClipBox().Inflated(5));
    const QPaintDevice& device = canvas.Device();
    return canvas.LogToDev(work).Intersected({0, 0, device.width(), device.height()});
}

TBlendParts RenderBlendParts(TDrawObject& object, TCanvas& canvas, const TRect& area)
{
    QImage mask(area.Width(), area.Height(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        TCanvas maskCanvas(mask);
        AlignWith(maskCanvas, canvas, area.TopLeft());
        object.PaintMask(maskCanvas);
    }
    const QImage own = object.RenderToBitmap(canvas, area);
    const auto* blendable = dynamic_cast<const IBlendable*>(&object);
    return {own, mask, blendable ? blendable->BlendRatio() : 100};
}

// Screens and printers have no pixels to mix into: the painter lays the object's own image over
// them with the mask as its opacity instead.
void PaintWithOpacity(TDrawObject& object, TCanvas& canvas)
{
    const TRect area = BlendArea(object, canvas);
    if (area.IsEmpty()) return;
    const TBlendParts parts = RenderBlendParts(object, canvas, area);
    QImage layer = parts.own.convertToFormat(QImage::Format_ARGB32);
    const int ratio = std::clamp(parts.ratio, 0, 100);
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        const uchar* opacity = parts.mask.constScanLine(y);
        for (int x = 0; x < layer.width(); ++x) row[x] = (row[x] & 0xFFFFFF) | (uint(MulDiv(opacity[x], ratio, 100)) << 24);
    }
    DrawDeviceImage(canvas, area.TopLeft(), layer, QPainter::CompositionMode_SourceOver);
}

}  // namespace

TMaskBlender SetMaskBlender(TMaskBlender blender)
{
    std::swap(InstalledMaskBlender(), blender);
    return blender;
}

const TClassInfo& TDrawObject::StaticClass()
{
    static const TClassInfo info("TDrawObject", &TComponent::StaticClass(), {}, [] {
        return TPropsOf<TDrawObject>()
            .NeverStored("Left")
            .NeverStored("Top")
            .NeverStored("Width")
            .NeverStored("Height")
            .Cursor("Cursor", &TDrawObject::Cursor, &TDrawObject::SetCursor, crDefault)
            .String("Hint", &TDrawObject::Hint, &TDrawObject::SetHint)
            .Bool("Border", &TDrawObject::Border, &TDrawObject::SetBorder, NoDefault)
            .Component("PopupMenu", &TDrawObject::PopupMenu, &TDrawObject::SetPopupMenu)
            .Bool("Movable", &TDrawObject::Movable, &TDrawObject::SetMovable, 1)
            .Bool("Selectable", &TDrawObject::Selectable, &TDrawObject::SetSelectable, 1)
            .Int("LayerGroup", &TDrawObject::LayerGroup, &TDrawObject::SetLayerGroup, NoDefault)
            .Method("OnModify", &TDrawObject::OnModifyName, &TDrawObject::SetOnModifyName)
            .Strings("Appendix", &TDrawObject::Appendix, &TDrawObject::SetAppendix)
            .Done();
    });
    return info;
}

TDrawObject::TDrawObject()
    : notifier_(std::make_unique<TChangeNotify>(this, [this] { ReportModified(); })),
      listener_(std::make_unique<TListener>([this](TPersistent* sender, const QUuid& kind) { Notify(sender, kind); }))
{
}

TDrawObject::~TDrawObject() = default;

void TDrawObject::SetBorder(bool value)
{
    if (value == border_) return;
    border_ = value;
    Changed();
}

void TDrawObject::SetSelectable(bool value)
{
    if (value == selectable_) return;
    selectable_ = value;
    if (!value && selected_) SetSelected(false);
    Changed(ckState);
}

void TDrawObject::SetLayerGroup(int group)
{
    if (group == layerGroup_) return;
    layerGroup_ = group;
    if (site_) site_->NoteLayerGroup(group);
    Changed(ckState);
}

void TDrawObject::SetAppendix(const QStringList& lines)
{
    if (lines == appendix_) return;
    appendix_ = lines;
    ReportModified();
}

void TDrawObject::ReportModified()
{
    if (site_) site_->SetModified(true);
    if (onModify_) onModify_(*this);
}

bool TDrawObject::NeedsBlend() const
{
    const auto* blendable = dynamic_cast<const IBlendable*>(this);
    return blendable && (blendable->BlendRatio() != 100 || blendable->BlendShade());
}

void TDrawObject::PaintContent(TCanvas& canvas)
{
    if (NeedsBlend()) {
        if (canvas.IsBitmapBacked()) {
            const TMaskBlender& blender = InstalledMaskBlender();
            if (blender && PaintBlended(canvas, blender)) return;
        } else {
            PaintWithOpacity(*this, canvas);
            return;
        }
    }
    Paint(canvas);
}

bool TDrawObject::PaintBlended(TCanvas& canvas, const TMaskBlender& blender)
{
    const TRect area = BlendArea(*this, canvas);
    if (area.IsEmpty()) return true;  // nothing of it can show
    const TBlendParts parts = RenderBlendParts(*this, canvas, area);

    return MixIntoCanvas(canvas, area, parts.own, parts.mask, parts.ratio, blender);
}

void TDrawObject::PaintMask(TCanvas& mask)
{
    mask.SetBrush({clWhite, TBrushStyle::bsSolid});
    mask.FillRect(mask.ClipBox());
    mask.SetBrush({clBlack, TBrushStyle::bsSolid});
}

QImage TDrawObject::RenderToBitmap(const TCanvas& reference, const TRect& device)
{
    QImage image(std::max(1, device.Width()), std::max(1, device.Height()), QImage::Format_RGB888);
    image.fill(Qt::white);
    {
        TCanvas canvas(image);
        AlignWith(canvas, reference, device.TopLeft());
        Paint(canvas);
    }
    return image;
}

void TDrawObject::Notify(TPersistent*, const QUuid&) {}

void TDrawObject::SetSelected(bool value)
{
    if (value && !selectable_) return;
    selected_ = value;
    notifier_->Broadcast(this, NotifySelectionChanged);
}

void TDrawObject::SetMovable(bool value)
{
    if (value == movable_) return;
    movable_ = value;
    notifier_->Broadcast(this, NotifyMovableChanged);
}

void TDrawObject::Changed(TChangeKinds kinds)
{
    notifier_->Changed(kinds);
}

void TDrawObject::PaintTo(TCanvas& canvas)
{
    const TRect bounds = GetBounds();
    if (!canvas.RectVisible(bounds)) return;
    TCanvasStateSaver saver(canvas);
    canvas.SetPen(TPen{});
    canvas.SetBrush(TBrush{});
    canvas.SetFont(TFont{});
    canvas.IntersectClipRect(bounds);
    PaintContent(canvas);
}

void TDrawObject::PaintElement(TCanvas& canvas)
{
    const TRect area{0, 0, ElementBounds().Width(), ElementBounds().Height()};
    if (paintFailed_) return PaintFailurePattern(canvas, area);
    paintFailed_ = true;
    try {
        TCanvasStateSaver saver(canvas);
        if (border_) {
            canvas.SetBrush({clBlue, TBrushStyle::bsSolid});
            canvas.FrameRect(area);
        }
        canvas.SetDeviceOffset(canvas.DeviceOffset() - ElementBounds().TopLeft());
        if (site_) site_->ApplyMapping(canvas);
        PaintContent(canvas);
        paintFailed_ = false;
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    } catch (...) {
        ReportUnexpectedException(EKestrel(QStringLiteral("描画に失敗しました")));
    }
}

void TDrawObject::PaintFailurePattern(TCanvas& canvas, const TRect& area)
{
    TCanvasStateSaver saver(canvas);
    canvas.SetBrush({clRed, TBrushStyle::bsDiagCross});
    canvas.FillRect(area);
    canvas.SetBrush({clRed, TBrushStyle::bsSolid});
    canvas.FrameRect(area);
    TFont font;
    font.name = QStringLiteral("System");
    font.size = 12;
    canvas.SetFont(font);
    canvas.TextOut({1, 1}, QStringLiteral("描画に失敗しました"));
}

bool TDrawObject::ElementHitTest(QPoint elementPoint) const
{
    if (!site_ || site_->IsDragging()) return false;
    return HitTest(site_->DevToLog(elementPoint + ElementBounds().TopLeft())) == 1;
}

void TDrawObject::BringToFront()
{
    if (!site_) return;  // nothing to stand in front of
    const int self = site_->IndexOf(*this);
    int target = site_->ChildCount() - 1;
    for (int i = 0, pos = 0; i < site_->ChildCount(); ++i) {
        if (i == self) continue;
        if (site_->Child(i).LayerGroup() > layerGroup_) {
            target = pos;
            break;
        }
        ++pos;
    }
    MoveToPosition(target);
}

void TDrawObject::SendToBack()
{
    if (!site_) return;
    const int self = site_->IndexOf(*this);
    int target = 0;
    for (int i = site_->ChildCount() - 1; i >= 0; --i) {
        if (i == self) continue;
        if (site_->Child(i).LayerGroup() < layerGroup_) {
            target = i < self ? i + 1 : i;  // just above it, counted without this object
            break;
        }
    }
    MoveToPosition(target);
}

void TDrawObject::MoveToPosition(int target)
{
    const int self = site_->IndexOf(*this);
    if (target == self) return;
    site_->MoveChild(self, target);
    site_->InvalidateElement(*this);
    Changed(ckState);
}

void TDrawObject::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TDrawObject*>(&source);
    if (!other) return TComponent::Assign(source);
    if (other == this) return;
    TUpdateScope batch(*notifier_);
    AssignFrom(*other);
}

void TDrawObject::AssignFrom(const TDrawObject& source)
{
    // Alone, an appendix change reports at once (it changes no drawing); here it is one more
    // change of the caller's batch.
    if (appendix_ != source.appendix_) {
        appendix_ = source.appendix_;
        Changed();
    }
    AssignPublished(source, *this);
    SetSelected(source.selected_);
}

}  // namespace kestrel
