#pragma once

// A draw site at 96 dpi with tenth-millimetre units, and an edit session whose designer and ghost
// list are stand-ins that record what the site asks of them.

#include <QImage>
#include <memory>
#include <utility>
#include <vector>

#include "document/EditSession.h"
#include "document/DrawObjectFixtures.h"
#include "document/Pivot.h"
#include "render/DragGhosts.h"
#include "render/DrawSite.h"

namespace kestrel::test {

// Eight handles on the corners and edge midpoints, like the rectangle designer's.
class TRecordingDesigners : public TDODesigner {
public:
    std::vector<std::pair<TDrawObject*, int>> ghostsStarted;
    IDragGhosts* ghosts = nullptr;
    bool acceptEdits = false;
    int edits = 0;

    bool CreatePivots(TDrawObject& object) override
    {
        auto* site = dynamic_cast<TDrawSite*>(object.Site());
        if (!site) return false;
        const TRect r = object.GetBounds();
        const int mx = (r.left + r.right) / 2, my = (r.top + r.bottom) / 2;
        const QPoint points[8] = {{r.left, r.top}, {r.left, my},     {r.left, r.bottom}, {mx, r.top},
                                  {mx, r.bottom},  {r.right, r.top}, {r.right, my},      {r.right, r.bottom}};
        for (int code = 0; code < 8; ++code)
            site->PlacePivot(site->AddPivot(std::make_unique<TPivot>(object, code, crSizeNWSE)),
                             points[code]);
        return true;
    }
    bool StartGhost(TDrawObject& object, int handle) override;
    std::optional<bool> EditObject(TDrawObject&) override
    {
        ++edits;
        return acceptEdits;
    }
};

// Follows the ghost list's rules for the active and moved flags; a rubber band selects what its
// device rectangle meets when it ends.
class TRecordingGhosts : public IDragGhosts {
public:
    int objectGhosts = 0;
    bool selecting = false;
    bool active = false;
    bool moved = false;
    TDrawSite* site = nullptr;
    TRect limit;
    QPoint start, current;
    TShiftState shift = 0;
    int applied = 0;
    int cancelled = 0;
    int painted = 0;
    std::function<void()> clearNotify;

    bool HasGhosts() const override { return objectGhosts > 0 || selecting; }
    bool Moved() const override { return moved; }
    void StartSelection(TDrawSite&) override { selecting = true; }
    void SetClearNotification(std::function<void()> notify) override { clearNotify = std::move(notify); }
    void BeginDrag(TDrawSite& s, const TRect& l, QPoint p, TShiftState sh) override
    {
        site = &s, limit = l, start = current = p, shift = sh, active = true, moved = false;
    }
    void DragTo(QPoint p, TShiftState sh) override
    {
        if (!active || (p == current && sh == shift)) return;
        moved = true, current = p, shift = sh;
    }
    void EndDrag() override
    {
        if (active && moved) {
            ++applied;
            if (selecting) {
                const QPoint a = site->LogToDev(start), b = site->LogToDev(current);
                site->SelectInRect(TRect{a.x(), a.y(), b.x(), b.y()}.Normalized());
            }
        }
        Clear();
    }
    void CancelDrag() override
    {
        if (active) ++cancelled;
        Clear();
    }
    void RedrawGhosts() override {}
    void PaintGhosts(TDrawSite&, TCanvas&) override { ++painted; }

private:
    void Clear()
    {
        const bool had = HasGhosts();
        objectGhosts = 0, selecting = false, active = false;
        if (had && clearNotify) clearNotify();
    }
};

inline bool TRecordingDesigners::StartGhost(TDrawObject& object, int handle)
{
    ghostsStarted.emplace_back(&object, handle);
    if (auto* list = static_cast<TRecordingGhosts*>(ghosts)) ++list->objectGhosts;
    return true;
}

// The session with both stand-ins; the sites attached to it leave it when it goes.
class TRecordingSession {
public:
    TEditSession session;
    TRecordingDesigners& designers;
    TRecordingGhosts ghosts;

    TRecordingSession()
        : designers(static_cast<TRecordingDesigners&>(
              session.Designers().Register(std::make_unique<TRecordingDesigners>())))
    {
        designers.ghosts = &ghosts;
    }
    ~TRecordingSession()
    {
        for (TDrawSite* site : sites_) {
            site->SetSession(nullptr);
            site->SetDragGhosts(nullptr);
        }
    }
    TRecordingSession(const TRecordingSession&) = delete;
    TRecordingSession& operator=(const TRecordingSession&) = delete;

    void Attach(TDrawSite& site)
    {
        site.SetSession(&session);
        site.SetDragGhosts(&ghosts);
        sites_.push_back(&site);
    }

private:
    std::vector<TDrawSite*> sites_;
};

// 96 dpi screen, 254 units per inch: 1 pixel = 2.6458 units at 100 %.
inline void SetUpDocumentSite(TDrawSite& site, int width = 2000, int height = 2000)
{
    site.SetDeviceDpi(96);
    site.Scaler().SetUnitDPI(254);
    site.SetLogSize(width, height);
    site.SetColor(clWhite);
}

inline TFilledRect& AddRect(TDrawSite& site, TRect rect, TColor fill = clBlue, int layerGroup = 0)
{
    auto object = std::make_unique<TFilledRect>();
    object->SetBounds(rect);
    object->fill = fill;
    object->SetLayerGroup(layerGroup);
    return static_cast<TFilledRect&>(site.AddObject(std::move(object)));
}

}  // namespace kestrel::test
