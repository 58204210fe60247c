#pragma once

#include <QString>

namespace kestrel {

// The genre of an ID3v1 genre number: the published list (0-79, its spellings kept), Winamp's
// extensions marked "(WINAMP)" (80-125), "Unknown(n)" for any other number.
QString GenreName(int number);

// A TCON text with every "(n)" replaced by the genre's name; "((" starts a literal "(".
QString ExpandGenreReferences(const QString& text);

}  // namespace kestrel
