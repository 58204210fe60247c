#pragma once

// The readable source of the shipped product database (JSON):
//   { "creatorJ": [values...], "creatorE": [values...], "products": [[values...], ...] }
// A value is one item's text; line breaks separate its lines. Items beyond the values stay empty.

#include <QByteArray>

namespace kestrel {

class TProductDB;

// Fills a freshly created database from the source; returns the number of products added.
int BuildProductDB(const QByteArray& json, TProductDB& db);

}  // namespace kestrel
