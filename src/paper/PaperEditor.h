#pragma once

// The checks of the user paper editor, apart from its screens.

#include <QString>

#include "paper/Papers.h"

namespace kestrel {

// Ranges the editor accepts, in 0.1 mm (counts as they are).
struct TEditorRange {
    int min;
    int max;
};
inline constexpr TEditorRange PaperSizeRange{500, 10000};
inline constexpr TEditorRange FaceSizeRange{30, 10000};
inline constexpr TEditorRange OffsetRange{0, 10000};  // offsets, gaps and bleed
inline constexpr TEditorRange FaceCountRange{1, 99};
inline constexpr TEditorRange HoleSizeRange{100, 1000};
inline constexpr TEditorRange RoundSizeRange{0, 1000};

// The first value of the paper outside the editor's ranges, as a message; empty when all fit.
// Hole and corner sizes are checked only for the shapes that show them.
QString CheckEditorValues(const TPaperInfo& paper);

enum class TStoreVerdict {
    Store,        // nothing against storing the paper
    Refuse,       // a face leaves the sheet: the message says so
    AskOverlap,   // faces overlap: the user decides, the message is the question
};

struct TStoreCheck {
    TStoreVerdict verdict = TStoreVerdict::Store;
    QString message;
    int face = -1;
};

// What finishing the editor does with the paper before it is stored.
TStoreCheck CheckPaperBeforeStore(const TPaperInfo& paper);

// "ユーザー用紙%d" with the smallest number from 1 that no paper of the catalogue has.
QString FirstFreeUserPaperName(const TPapers& papers);

}  // namespace kestrel
