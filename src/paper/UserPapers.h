#pragma once

#include <QString>

#include "paper/PapersV2.h"

namespace kestrel {

// The user's papers of the catalogue, counted.
int UserPaperCount(const TPapersV2& catalogue);

// Writes the catalogue's user papers with their records to a new catalogue file (it replaces an
// existing file only once complete); returns how many. Fails when there is none to write.
int ExportUserPapers(const TPapersV2& catalogue, const QString& file);

// Merges the user papers of a catalogue file into the catalogue (the system papers it may hold
// are left out; a name taken by a system paper gets "$" appended); returns how many. The file
// must be a regular catalogue file.
int ImportUserPapers(TPapersV2& catalogue, const QString& file);

}  // namespace kestrel
