#pragma once

// Reading and writing MS-CFB compound files. Versions 3 (512-byte sectors) and 4 (4096-byte
// sectors) are read; version 3 is written. A file is read whole into a TCfbStorage tree and
// written whole from one.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>

#include "platform/cfb/CfbTree.h"
#include "platform/cfb/StorageError.h"

namespace kestrel {

// Reads a compound file from bytes; sourceName names it in error messages. A damaged file
// raises EStorageError (DocFileCorrupt, InvalidHeader, ...).
std::shared_ptr<TCfbStorage> ReadCompoundFile(QByteArrayView bytes, const QString& sourceName);
// Reads the file at path (FileNotFound when it does not exist).
std::shared_ptr<TCfbStorage> ReadCompoundFileFrom(const QString& path);
// Answers whether a stream is wanted, given its path below the root ("Sheets\NameList").
using TStreamFilter = std::function<bool(const QString& path)>;
// Reads only the wanted streams of the file at path; the others are left out of the tree (and
// never read), so the tree is for looking at, never for writing back.
std::shared_ptr<TCfbStorage> ReadCompoundFileFrom(const QString& path, const TStreamFilter& wanted);

// The version-3 compound file of the tree below root.
QByteArray WriteCompoundFile(const TCfbStorage& root);
// Writes the tree to path through a temporary file in the same folder that replaces the
// target only when complete; on failure the old file is left as it was.
void WriteCompoundFileTo(const TCfbStorage& root, const QString& path);

}  // namespace kestrel
