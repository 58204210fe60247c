#pragma once

// Layout constants of the compound file format, shared by the reader and the writer.

#include <cstdint>

namespace kestrel::cfbformat {

inline constexpr uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
inline constexpr int HeaderSize = 512;
inline constexpr int HeaderDifatCount = 109;
inline constexpr int HeaderDifatOffset = 0x4C;
inline constexpr int DirEntrySize = 128;
inline constexpr int MiniSectorSize = 64;
inline constexpr uint32_t MiniStreamCutoff = 4096;
inline constexpr uint16_t MinorVersion = 0x003E;
inline constexpr uint16_t ByteOrderMark = 0xFFFE;

// Special sector numbers.
inline constexpr uint32_t MaxRegularSector = 0xFFFFFFFA;
inline constexpr uint32_t DifatSector = 0xFFFFFFFC;
inline constexpr uint32_t FatSector = 0xFFFFFFFD;
inline constexpr uint32_t EndOfChain = 0xFFFFFFFE;
inline constexpr uint32_t FreeSector = 0xFFFFFFFF;
inline constexpr uint32_t NoStream = 0xFFFFFFFF;

// Directory entry object types and colours.
inline constexpr uint8_t TypeUnused = 0;
inline constexpr uint8_t TypeStorage = 1;
inline constexpr uint8_t TypeStream = 2;
inline constexpr uint8_t TypeRoot = 5;
inline constexpr uint8_t ColorRed = 0;
inline constexpr uint8_t ColorBlack = 1;

// Directory entry field offsets.
inline constexpr int EntryNameLength = 0x40;
inline constexpr int EntryType = 0x42;
inline constexpr int EntryColor = 0x43;
inline constexpr int EntryLeft = 0x44;
inline constexpr int EntryRight = 0x48;
inline constexpr int EntryChild = 0x4C;
inline constexpr int EntryClsid = 0x50;
inline constexpr int EntryStateBits = 0x60;
inline constexpr int EntryCreated = 0x64;
inline constexpr int EntryModified = 0x6C;
inline constexpr int EntryStart = 0x74;
inline constexpr int EntrySize = 0x78;

}  // namespace kestrel::cfbformat
