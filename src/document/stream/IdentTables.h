#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <optional>

#include "platform/Color.h"
#include "platform/Cursor.h"

namespace kestrel {

// Named colour (0x00BBGGRR), cursor and font character set values, written as identifiers instead of integers.
std::optional<QByteArray> ColorToIdent(int64_t color);
std::optional<int64_t> IdentToColor(QByteArrayView ident);
std::optional<QByteArray> CursorToIdent(int64_t cursor);
std::optional<int64_t> IdentToCursor(QByteArrayView ident);
// Font character sets (SHIFTJIS_CHARSET is 128).
std::optional<QByteArray> CharsetToIdent(int64_t charset);
std::optional<int64_t> IdentToCharset(QByteArrayView ident);

}  // namespace kestrel
