#include "text/LODate.h"

#include "app/MacroString.h"

namespace kestrel {

const TEnumInfo& DateUpdateFlagInfo()
{
    static const TEnumInfo info{"TDateUpdateFlag", {"dufNo", "dufOpen", "dufPrint", "dufSave"}};
    return info;
}

const QStringList& DateUpdateCaptions()
{
    static const QStringList captions{QStringLiteral("更新しない"), QStringLiteral("開いたときに更新する"),
                                      QStringLiteral("印刷時に更新する"), QStringLiteral("保存時に更新する")};
    return captions;
}

const TClassInfo& TLODate::StaticClass()
{
    static const TClassInfo info("TLODate", &TLOText::StaticClass(), FactoryOf<TLODate>(), [] {
        using C = TLODate;
        return TPropsOf<C>()
            .String("Format", &C::Format, &C::SetFormat)
            .Float("Date", &C::Date, &C::SetDate)
            .Enum("UpdateFlag", DateUpdateFlagInfo(), &C::UpdateFlag, &C::SetUpdateFlag, NoDefault)
            .Done();
    });
    return info;
}

void TLODate::SetFormat(const QString& format)
{
    if (format == format_) return;
    format_ = format;
    Reformat();
}

void TLODate::SetDate(TDateTime date)
{
    if (date == date_) return;
    date_ = date;
    Reformat();
}

void TLODate::SetUpdateFlag(TDateUpdateFlag flag)
{
    if (flag == updateFlag_) return;
    updateFlag_ = flag;
    Changed(ckState);
}

void TLODate::Reformat()
{
    QString formatted;
    try {
        formatted = FormatDate(format_, date_);
    } catch (const EMacroString&) {
        // The format comes from the document: a broken one shows nothing rather than failing
        // every paint and every load.
    }
    formatted.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    SetText(formatted.isEmpty() ? QStringList() : formatted.split(QLatin1Char('\n')));
}

void TLODate::ShowDocumentDates(const TDocumentDates& dates)
{
    const double shown = updateFlag_ == dufOpen    ? dates.opened
                         : updateFlag_ == dufPrint ? dates.lastPrint
                         : updateFlag_ == dufSave  ? dates.lastSave
                                                   : 0;
    if (shown != 0) SetDate(shown);
}

}  // namespace kestrel
