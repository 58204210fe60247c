#include "music/LabelMusic.h"

#include "document/DOActions.h"
#include "document/DOList.h"
#include "document/ObjectSite.h"
#include "label/LabelData.h"
#include "music/AlbumLines.h"
#include "music/Albums.h"
#include "music/InputItems.h"
#include "platform/Error.h"
#include "text/LOText.h"

namespace kestrel {

namespace {

// Face objects are loaded from the back and saved from the front.
void SaveLoaded(TLabelData& document, int face, TDOList& objects)
{
    objects.Reverse();
    document.SaveFaceObjects(face, objects);
}

}  // namespace

std::vector<int> DesignedFaces(const TLabelData& document, std::optional<int> face)
{
    if (face) return {*face};
    std::vector<int> faces;
    const int count = document.SeparatelyDesign() ? document.FaceCount() : std::min(1, document.FaceCount());
    for (int n = 0; n < count; ++n) faces.push_back(n);
    return faces;
}

int FillDocumentInputItems(TLabelData& document, const std::vector<int>& faces, const TAlbumInfo& album)
{
    std::vector<TDOList> objects(faces.size());
    std::vector<TInputItem> items;
    for (size_t i = 0; i < faces.size(); ++i) {
        document.LoadFaceObjects(faces[i], objects[i]);
        CollectInputItems(faces[i], objects[i], items);
    }
    if (items.empty() || album.TrackCount() == 0) return 0;
    FillInputItems(album, items);
    WriteInputItems(items);
    for (size_t i = 0; i < faces.size(); ++i) {
        const bool hasItem = std::any_of(items.begin(), items.end(), [&](const TInputItem& item) {
            return std::any_of(item.targets.begin(), item.targets.end(),
                               [&](const TInputItem::TTarget& target) { return target.face == faces[i]; });
        });
        if (hasItem) SaveLoaded(document, faces[i], objects[i]);
    }
    return int(items.size());
}

int FillSiteInputItems(TObjectSite& site, int face, const TAlbumInfo& album)
{
    std::vector<TInputItem> items = SiteInputItems(site, face);
    if (items.empty() || album.TrackCount() == 0) return 0;
    FillInputItems(album, items);
    WriteSiteInputItems(items);
    return int(items.size());
}

std::vector<TInputItem> SiteInputItems(TObjectSite& site, int face)
{
    TDOList objects;
    for (int i = 0; i < site.ChildCount(); ++i) objects.Add(site.Child(i));
    std::vector<TInputItem> items;
    CollectInputItems(face, objects, items);
    return items;
}

void WriteSiteInputItems(const std::vector<TInputItem>& items)
{
    WriteInputItems(items, [](TLOText& text, const std::function<void()>& write) {
        auto record = std::make_unique<TDOChangeAction>(text, QStringLiteral("入力項目"));
        write();
        TDOChangeAction::Commit(std::move(record));
    });
}

QStringList MusicLines(const TAlbumInfo& album)
{
    QStringList lines = BuildAlbumLines(album);
    if (lines.value(1).isEmpty()) lines.removeAt(1);
    if (lines.value(0).isEmpty()) lines.removeAt(0);
    return lines;
}

void WriteLinesToText(TLabelData& document, int face, int textIndex, const QStringList& lines)
{
    TDOList objects;
    document.LoadFaceObjects(face, objects);
    int seen = 0;
    for (TDrawObject* object : objects.Items()) {
        auto* text = dynamic_cast<TLOText*>(object);
        if (!text || seen++ != textIndex) continue;
        text->SetText(lines);
        SaveLoaded(document, face, objects);
        return;
    }
    throw EKestrel(QStringLiteral("面 %1 に %2 番目の文字オブジェクトがありません").arg(face + 1).arg(textIndex + 1));
}

}  // namespace kestrel
