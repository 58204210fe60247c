#include "paper/Purpose.h"

namespace kestrel {

namespace {
TPurposeValidator* installedValidator = nullptr;
}

const TClassInfo& TPurposeInfo::StaticClass()
{
    static const TClassInfo info("TPurposeInfo", &TCollectionItem::StaticClass(), FactoryOf<TPurposeInfo>(), [] {
        return TPropsOf<TPurposeInfo>()
            .String("ID", &TPurposeInfo::ID, &TPurposeInfo::SetID)
            .String("DisplayName", &TPurposeInfo::DisplayName, &TPurposeInfo::SetDisplayName)
            .Set("ShapeMask", FaceShapeInfo(), &TPurposeInfo::ShapeMaskBits, &TPurposeInfo::SetShapeMaskBits, NoDefault)
            .Done();
    });
    return info;
}

const TClassInfo& TPurposeList::StaticClass()
{
    static const TClassInfo info("TPurposeList", &TCollection::StaticClass(), FactoryOf<TPurposeList>(), {});
    return info;
}

TPurposeList::TPurposeList() : TCollection([] { return std::make_unique<TPurposeInfo>(); }) {}

TPurposeList::TPurposeList(const TPurposeList& other) : TPurposeList() { Assign(other); }

TPurposeList& TPurposeList::operator=(const TPurposeList& other)
{
    Assign(other);
    return *this;
}

TPurposeInfo& TPurposeList::Add(const TPurposeInfo& info)
{
    auto& item = static_cast<TPurposeInfo&>(TCollection::Add());
    item.Assign(info);
    return item;
}

int TPurposeList::LastIndexOf(const QString& id) const
{
    for (int i = Count() - 1; i >= 0; --i)
        if (Item(i).ID().compare(id, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void TPurposeList::Delete(int i)
{
    // TCollection has no removal; rebuild without the item.
    TPurposeList kept;
    for (int j = 0; j < Count(); ++j)
        if (j != i) kept.Add(Item(j));
    TCollection::Assign(kept);
}

TPurposeList TPurposeList::Default()
{
    TPurposeList list;
    list.Add({"CD", "CD", {fsDoughnut, fsEllipse}});
    list.Add({"CDCover", "CDCover", {fsRect, fsRoundRect}});
    list.Add({"CDCaseTray", "CDCaseTray", {fsRect, fsRoundRect}});
    list.Add({"MOSquare", "MOSquare", {fsRect, fsRoundRect}});
    list.Add({});
    return list;
}

const TClassInfo& TPLStreamer::StaticClass()
{
    static const TClassInfo info("TPLStreamer", &TComponent::StaticClass(), FactoryOf<TPLStreamer>(), [] {
        return TPropsOf<TPLStreamer>().Collection("List", &TPLStreamer::List).Done();
    });
    return info;
}

bool TPurposeValidator::IsObsolete(const QString& id) const
{
    return id == u"MO" || id == u"FD" || id == u"CDCase";
}

QString TPurposeValidator::Normalize(const QString& id) const
{
    if (id == u"MO" || id == u"FD") return QStringLiteral("MOSquare");
    if (id == u"CDCase") return QStringLiteral("CDCaseTray");
    return id;
}

void TPurposeValidator::Validate(TPurposeList& list) const
{
    for (int i = list.Count() - 1; i >= 0; --i)
        if (IsObsolete(list.Item(i).ID())) list.Delete(i);
}

TPurposeValidator* PurposeValidator() { return installedValidator; }

void SetPurposeValidator(TPurposeValidator* validator) { installedValidator = validator; }

QString NormalizePurpose(const QString& id) { return installedValidator ? installedValidator->Normalize(id) : id; }

void ValidatePurposes(TPurposeList& list)
{
    if (installedValidator) installedValidator->Validate(list);
}

bool MergePurposes(TPurposeList& list, const TPurposeList& incoming)
{
    bool added = false;
    for (int i = 0; i < incoming.Count(); ++i) {
        if (list.LastIndexOf(incoming.Item(i).ID()) >= 0) continue;
        list.Add(incoming.Item(i));
        added = true;
    }
    ValidatePurposes(list);
    return added;
}

}  // namespace kestrel
