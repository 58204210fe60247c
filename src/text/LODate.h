#pragma once

// A text whose lines are a formatted date, optionally replaced by the document's open, print or
// save time when the face is loaded.

#include "document/Capabilities.h"
#include "text/DateFormat.h"
#include "text/LOText.h"

namespace kestrel {

enum TDateUpdateFlag { dufNo, dufOpen, dufPrint, dufSave };
const TEnumInfo& DateUpdateFlagInfo();
// The update choices of the property screen, in the order of TDateUpdateFlag.
const QStringList& DateUpdateCaptions();

class TLODate : public TLOText, public IDODocumentDates {
    KESTREL_PERSISTENT()
public:
    const QString& Format() const { return format_; }
    // A new format or date replaces the text with the date formatted; a format whose macros
    // cannot be expanded gives an empty text.
    void SetFormat(const QString& format);
    TDateTime Date() const { return date_; }
    void SetDate(TDateTime date);
    TDateUpdateFlag UpdateFlag() const { return updateFlag_; }
    void SetUpdateFlag(TDateUpdateFlag flag);

    // A document date of 0 (never printed, never saved) leaves the stored date.
    void ShowDocumentDates(const TDocumentDates& dates) override;

private:
    void Reformat();

    QString format_;
    TDateTime date_ = 0;
    TDateUpdateFlag updateFlag_ = dufNo;
};

}  // namespace kestrel
