#pragma once

#include <QString>

#include "document/stream/Persistent.h"
#include "paper/FaceShape.h"

namespace kestrel {

// One purpose a face can serve.
class TPurposeInfo : public TCollectionItem {
    KESTREL_PERSISTENT()
public:
    TPurposeInfo() = default;
    TPurposeInfo(QString id, QString displayName, TFaceShapes shapes)
        : id_(std::move(id)), displayName_(std::move(displayName)), shapeMask_(shapes) {}

    const QString& ID() const { return id_; }  // compared case-insensitively
    void SetID(const QString& id) { id_ = id; }
    const QString& DisplayName() const { return displayName_; }
    void SetDisplayName(const QString& name) { displayName_ = name; }
    TFaceShapes ShapeMask() const { return shapeMask_; }

private:
    uint32_t ShapeMaskBits() const { return shapeMask_.Mask(); }
    void SetShapeMaskBits(uint32_t bits) { shapeMask_ = TFaceShapes::FromMask(bits); }

    QString id_;
    QString displayName_;
    TFaceShapes shapeMask_;
};

class TPurposeList : public TCollection {
    KESTREL_PERSISTENT()
public:
    TPurposeList();
    TPurposeList(const TPurposeList& other);
    TPurposeList& operator=(const TPurposeList& other);

    TPurposeInfo& Item(int i) const { return static_cast<TPurposeInfo&>(TCollection::Item(i)); }
    TPurposeInfo& Add(const TPurposeInfo& info);
    // Index of the last item with that ID (case-insensitive), or -1.
    int LastIndexOf(const QString& id) const;
    void Delete(int i);

    // The list a catalogue uses when it has none stored (its last item is empty).
    static TPurposeList Default();
};

// Exists only to write and read a purpose list as a component stream.
class TPLStreamer : public TComponent {
    KESTREL_PERSISTENT()
public:
    TPurposeList* List() { return &list_; }
    const TPurposeList& ListRef() const { return list_; }

private:
    TPurposeList list_;
};

// Knows which purpose ids older catalogues used and what they became.
class TPurposeValidator {
public:
    virtual ~TPurposeValidator() = default;
    virtual bool IsObsolete(const QString& id) const;
    virtual QString Normalize(const QString& id) const;
    // Removes every obsolete purpose, from the last item to the first.
    virtual void Validate(TPurposeList& list) const;
};

// The process-wide validator; nullptr (the initial state) means no validation.
TPurposeValidator* PurposeValidator();
void SetPurposeValidator(TPurposeValidator* validator);

QString NormalizePurpose(const QString& id);
void ValidatePurposes(TPurposeList& list);

// Adds copies of the incoming items whose ID the list lacks; true when something was added.
// The list is validated afterwards.
bool MergePurposes(TPurposeList& list, const TPurposeList& incoming);

}  // namespace kestrel
