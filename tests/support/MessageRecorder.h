#pragma once

#include <QStringList>

#include "app/AppFrame.h"
#include "app/ProgramMacros.h"

namespace kestrel::test {

// Readies frame as the program does (its macro table loaded) and records every message box it
// would show in messages, answering each with the current value of answer.
inline void RecordMessages(TAppFrame& frame, QStringList& messages, const int& answer)
{
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();
    frame.OnMessageBox = [&messages, &answer](const QString& text, const TMsgButtons&, int, int) {
        messages << text;
        return answer;
    };
}

inline void RecordMessages(TAppFrame& frame, QStringList& messages)
{
    static const int ok = mrOk;
    RecordMessages(frame, messages, ok);
}

}  // namespace kestrel::test
