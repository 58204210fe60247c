#pragma once

// A picture holder: one graphic of any supported class, or none, with where it came from.
// Streams hold "ImageID", "StorageID" and the graphic's original bytes as "Data".

#include <QString>

#include "document/Notify.h"
#include "document/stream/Persistent.h"
#include "platform/Graphic.h"

namespace kestrel {

class TPictureEx : public TPersistent {
    KESTREL_PERSISTENT()
public:
    TPictureEx() : notify_(this) {}

    TChangeNotify& Notify() { return notify_; }
    const TGraphic& Graphic() const { return graphic_; }
    void SetGraphic(const TGraphic& graphic);
    void Clear() { SetGraphic({}); }
    // The decoded pixels of raster graphics.
    const QImage& Image() const { return graphic_.Image(); }
    // A picture made in memory (see TGraphic::FromImage).
    void SetImage(const QImage& image) { SetGraphic(TGraphic::FromImage(image)); }
    int Width() const { return graphic_.Width(); }
    int Height() const { return graphic_.Height(); }

    // Normally the full path of the file the picture was read from.
    const QString& ImageID() const { return imageId_; }
    void SetImageID(const QString& id);
    const QString& StorageID() const { return storageId_; }
    void SetStorageID(const QString& id);
    // A holder whose content arrives later does not count as empty.
    bool DeferredContent() const { return deferred_; }
    void SetDeferredContent(bool value) { deferred_ = value; }
    // Pictures from resource files are reloaded from there and not written into streams.
    bool NoEmbed() const { return noEmbed_; }
    void SetNoEmbed(bool value) { noEmbed_ = value; }

    bool HasGraphic() const { return !graphic_.IsEmpty(); }
    bool IsEmpty() const { return !HasGraphic() && !deferred_; }

    // Reads a picture file (see LoadGraphicFile); the path becomes the ImageID.
    void LoadFromFile(const QString& path, int limitSize = 0);

    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;

private:
    TGraphic graphic_;
    QString imageId_;
    QString storageId_;
    bool deferred_ = false;
    bool noEmbed_ = false;
    TChangeNotify notify_;
};

// Lets JSON scenes give a picture's "Data" as {"file": "photo.jpg"}; the file's bytes are kept as
// they are, like a picture read from a file.
void RegisterPictureFileRecord();

}  // namespace kestrel
