#pragma once

// The readable source of the shipped system catalogue (data/papers/*.json) and how it becomes
// a catalogue.

#include <QByteArray>
#include <QStringList>
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
};

// Reads and checks a catalogue source: valid JSON, known classes and properties, layout values
// in range, unique paper names, known groups and purposes, shapes the purpose allows, at least
// one face per paper, every face on the paper and no two faces overlapping. Any fault fails
// with a Japanese message naming the paper.
TCatalogueSource LoadCatalogueSource(const QByteArray& json);

// Fills an open, empty catalogue from the source: purposes, papers in order, version, lists.
void BuildCatalogue(const TCatalogueSource& source, TPapersV2& catalogue);

}  // namespace kestrel
