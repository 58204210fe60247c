#pragma once

// The readable source of the shipped system catalogue (data/papers/*.json) and how it becomes
// a catalogue.

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "paper/PaperInfo.h"
#include "paper/Purpose.h"

namespace kestrel {

class TPapersV2;

struct TCatalogueSource {
    int pprNo = 0;
    TPurposeList purposes;
    QStringList groups;
    QStringList companies;
    std::vector<std::unique_ptr<TPaperInfo>> papers;  // all read-only
    // The global text blocks by name: the genres, the printer data, the printer settings table...
    std::map<QString, QStringList> globalInfo;
};

// The bytes of a file a source names, relative to the source.
using TSourceFileReader = std::function<QByteArray(const QString& name)>;

// Reads and checks a catalogue source: valid JSON, known classes and properties, layout values
// in range, unique paper names, known groups and purposes, shapes the purpose allows, at least
// one face per paper, every face on the paper and no two faces overlapping. Any fault fails
// with a Japanese message naming the paper. A global text block is a list of lines or the name of
// a text file, read through readFile; its genres must name known groups and its printer data
// must be XML.
TCatalogueSource LoadCatalogueSource(const QByteArray& json, const TSourceFileReader& readFile = {});

// Fills an open, empty catalogue from the source: purposes, papers in order, version, lists.
void BuildCatalogue(const TCatalogueSource& source, TPapersV2& catalogue);

}  // namespace kestrel
