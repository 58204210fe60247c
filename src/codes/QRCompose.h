#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

namespace kestrel {

// Phone formats of the composed text; au phones read the DoCoMo records.
enum TStdQRType { sqtDoCoMo, sqtVodafone, sqtAU };
// Which data set is encoded: phone-book entry, web address or free text.
enum TStdQRKind { sqkTel, sqkURL, sqkTEXT };

struct TQRPhoneFields {
    QString name;
    QString furigana;
    QString tel1;
    QString tel2;
    QString email1;
    QString email2;
    QString urlTitle;
    QString url;
    QStringList text;
    bool splitName = false;         // family and given name at the first space (DoCoMo)
    bool halfWidthReading = true;   // the reading in half-width katakana
};

// The text phones of the type read for the kind of data; empty when there is nothing to say,
// and always for sqtAU, whose records are not composed at all.
QString ComposeQRText(TStdQRType type, TStdQRKind kind, const TQRPhoneFields& fields);

// DoCoMo records: a backslash before each ',', ':', ';' and '\'.
QString EscapeMeCardText(const QString& text);
// Family name and given names of a name of two words or more, split at half-width spaces; a
// double-quoted stretch is one word without its quotes. Both parts come escaped for the record.
std::optional<std::pair<QString, QString>> SplitFamilyGiven(const QString& name);

// The conversion to half-width characters and katakana that readings and Vodafone addresses go
// through. The text layer installs its own at start-up; until then the text stays as it is.
using TQRTextConversion = std::function<QString(const QString&)>;
void SetQRHalfWidthKana(TQRTextConversion conversion);

}  // namespace kestrel
