#pragma once

// What the host asks of created servers: descriptions of music importers and exporters, and
// pictures of image servers. Everything that comes back is checked before it is used.

#include <QImage>
#include <QString>
#include <QStringList>
#include <QUuid>

#include "app/PluginHost.h"

namespace kestrel {

// The most text a plug-in may hand over as one XML document.
inline constexpr qsizetype kMaxPluginDocument = 4 * 1024 * 1024;
inline constexpr int kMaxDataServers = 64;

// A description document: the plug-in's display name and the data servers it can use.
struct TPluginDescription {
    QString Name;
    QStringList DataServers;
};

// Reads a description document (its element's "name", its "dataServer" children's "name");
// malformed XML, a missing or unusable name or too many servers raise an EPlugin naming label.
TPluginDescription ReadPluginDescription(const QString& label, const QString& xml);

// The description of a music importer or exporter (category says which interface to ask for).
TPluginDescription DescribeServer(const TPluginRef<IBCServerV1>& server, const QUuid& category);

// The largest picture an image server may deliver.
inline constexpr int kMaxPluginImageSide = 30000;
inline constexpr qint64 kMaxPluginImagePixels = qint64(1) << 26;

// Lets the image server take one picture; a null image when the user cancelled.
QImage AcquirePluginImage(const TPluginRef<IBCServerV1>& server, quint64 parentWindow);

}  // namespace kestrel
