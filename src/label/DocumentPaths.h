#pragma once

#include <QString>

namespace kestrel {

// Where a document file keeps its parts.
inline const QString SheetListPath = QStringLiteral("Sheets\\NameList");
inline const QString FaceListName = QStringLiteral("NameList");
inline const QString PreviewListName = QStringLiteral("Preview");
inline const QString InfoStream = QStringLiteral("Info");
inline const QString PaperInfoStream = QStringLiteral("PaperInfo");
inline const QString DataInfoStream = QStringLiteral("DataInfo");

}  // namespace kestrel
