#pragma once

#include <QImage>
#include <QString>

namespace kestrel {

// The first sheet of a document file as file managers show it: the paper in white with every
// face's stored preview inside its shape, drawn without rendering a single object. The longer
// side is size pixels. Null when the first sheet has no paper; raises EKestrel for a file that
// is no document.
QImage DrawSheetThumbnail(const QString& path, int size);

}  // namespace kestrel
