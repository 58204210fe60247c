#include "codes/LOQRStd.h"

#include <algorithm>

#include "platform/BoundedReader.h"
#include "platform/Cp932.h"
#include "platform/GuidBytes.h"

namespace kestrel {

const TEnumInfo& StdQRTypeInfo()
{
    static const TEnumInfo info{"TStdQRType", {"sqtDoCoMo", "sqtVodafone", "sqtAU"}};
    return info;
}

const TEnumInfo& StdQRKindInfo()
{
    static const TEnumInfo info{"TStdQRKind", {"sqkTel", "sqkURL", "sqkTEXT"}};
    return info;
}

const TClassInfo& TLOQRStd::StaticClass()
{
    using C = TLOQRStd;
    static const TClassInfo info("TLOQRStd", &TLOQRCode::StaticClass(), FactoryOf<TLOQRStd>(), [] {
        return TPropsOf<C>()
            .Enum("QRType", StdQRTypeInfo(), &C::QRType, &C::SetQRType, NoDefault)
            .Bool("QRNameCommaDevide", &C::QRNameCommaDevide, &C::SetQRNameCommaDevide, 0)
            .Bool("QRFuriganaHankaku", &C::QRFuriganaHankaku, &C::SetQRFuriganaHankaku, 1)
            .String("QRName", &C::QRName, &C::SetQRName)
            .String("QRFurigana", &C::QRFurigana, &C::SetQRFurigana)
            .String("QRTel1", &C::QRTel1, &C::SetQRTel1)
            .String("QRTel2", &C::QRTel2, &C::SetQRTel2)
            .String("QREmail1", &C::QREmail1, &C::SetQREmail1)
            .String("QREmail2", &C::QREmail2, &C::SetQREmail2)
            .Int("QRNameID", &C::LinkOf<lnName>, &C::SetLinkOf<lnName>, -1)
            .Int("QRFuriganaID", &C::LinkOf<lnFurigana>, &C::SetLinkOf<lnFurigana>, -1)
            .Int("QRTel1ID", &C::LinkOf<lnTel1>, &C::SetLinkOf<lnTel1>, -1)
            .Int("QRTel2ID", &C::LinkOf<lnTel2>, &C::SetLinkOf<lnTel2>, -1)
            .Int("QREmail1ID", &C::LinkOf<lnEmail1>, &C::SetLinkOf<lnEmail1>, -1)
            .Int("QREmail2ID", &C::LinkOf<lnEmail2>, &C::SetLinkOf<lnEmail2>, -1)
            .String("QRUrlTitle", &C::QRUrlTitle, &C::SetQRUrlTitle)
            .String("QRUrl", &C::QRUrl, &C::SetQRUrl)
            .Enum("QRKind", StdQRKindInfo(), &C::QRKind, &C::SetQRKind, sqkTel)
            .Int("QRUrlTitleID", &C::LinkOf<lnUrlTitle>, &C::SetLinkOf<lnUrlTitle>, NoDefault)
            .Int("QRUrlID", &C::LinkOf<lnUrl>, &C::SetLinkOf<lnUrl>, NoDefault)
            .Strings("QRText", &C::QRText, &C::SetQRText)
            .Done();
    });
    return info;
}

TLOQRStd::TLOQRStd() : profileGuid_(QUuid::createUuid())
{
    std::fill(std::begin(links_), std::end(links_), -1);
}

void TLOQRStd::SetQRType(TStdQRType type)
{
    if (type == type_) return;
    type_ = type;
    Recompose();
}

void TLOQRStd::SetQRKind(TStdQRKind kind)
{
    if (kind == kind_) return;
    kind_ = kind;
    Recompose();
}

void TLOQRStd::SetQRNameCommaDevide(bool value)
{
    if (value == fields_.splitName) return;
    fields_.splitName = value;
    Recompose();
}

void TLOQRStd::SetQRFuriganaHankaku(bool value)
{
    if (value == fields_.halfWidthReading) return;
    fields_.halfWidthReading = value;
    Recompose();
}

void TLOQRStd::SetField(QString& field, const QString& text)
{
    if (text == field) return;
    field = text;
    Recompose();
}

void TLOQRStd::SetQRText(const QStringList& lines)
{
    if (lines == fields_.text) return;
    fields_.text = lines;
    Recompose();
}

void TLOQRStd::SetLink(TLink link, int id)
{
    if (id == links_[link]) return;
    links_[link] = id;
    if (link == lnUrlTitle || link == lnUrl) Recompose();
    else Changed();
}

QString TLOQRStd::ComposedText() const
{
    return ComposeQRText(type_, kind_, fields_);
}

// Only the data is replaced here; the symbol is encoded when it is next drawn. An sqtAU object
// composes nothing and keeps the data it has.
void TLOQRStd::Recompose()
{
    if (type_ == sqtAU) return Changed();
    const QByteArray data = ToCp932(ComposedText());
    if (data != Data())
        SetData(data);
    else
        Changed();
}

void TLOQRStd::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "ProfileGuid",
        [this](TBoundedReader& in) {
            if (in.Remaining() != kGuidSize) in.Fail();
            profileGuid_ = ReadGuid(in);
        },
        [this](QByteArray& out) { out += GuidBytes(profileGuid_); }, true);
}

void TLOQRStd::AssignFrom(const TDrawObject& source)
{
    TLOQRCode::AssignFrom(source);
    const auto* other = dynamic_cast<const TLOQRStd*>(&source);
    if (!other) return;
    profileGuid_ = other->profileGuid_;
}

}  // namespace kestrel
