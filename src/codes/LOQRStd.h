#pragma once

#include <QUuid>

#include "codes/LOQRCode.h"
#include "codes/QRCompose.h"

namespace kestrel {

const TEnumInfo& StdQRTypeInfo();
const TEnumInfo& StdQRKindInfo();

// The QR object the user inserts: a phone-book entry, a web bookmark or free text, composed into
// the records the phones of the chosen carrier read. The bytes are not stored; they are composed
// again from the fields when a document is read.
class TLOQRStd : public TLOQRCode {
    KESTREL_PERSISTENT()
public:
    TLOQRStd();

    TStdQRType QRType() const { return type_; }
    void SetQRType(TStdQRType type);
    TStdQRKind QRKind() const { return kind_; }
    void SetQRKind(TStdQRKind kind);
    bool QRNameCommaDevide() const { return fields_.splitName; }
    void SetQRNameCommaDevide(bool value);
    bool QRFuriganaHankaku() const { return fields_.halfWidthReading; }
    void SetQRFuriganaHankaku(bool value);

    const QString& QRName() const { return fields_.name; }
    void SetQRName(const QString& text) { SetField(fields_.name, text); }
    const QString& QRFurigana() const { return fields_.furigana; }
    void SetQRFurigana(const QString& text) { SetField(fields_.furigana, text); }
    const QString& QRTel1() const { return fields_.tel1; }
    void SetQRTel1(const QString& text) { SetField(fields_.tel1, text); }
    const QString& QRTel2() const { return fields_.tel2; }
    void SetQRTel2(const QString& text) { SetField(fields_.tel2, text); }
    const QString& QREmail1() const { return fields_.email1; }
    void SetQREmail1(const QString& text) { SetField(fields_.email1, text); }
    const QString& QREmail2() const { return fields_.email2; }
    void SetQREmail2(const QString& text) { SetField(fields_.email2, text); }
    const QString& QRUrlTitle() const { return fields_.urlTitle; }
    void SetQRUrlTitle(const QString& text) { SetField(fields_.urlTitle, text); }
    const QString& QRUrl() const { return fields_.url; }
    void SetQRUrl(const QString& text) { SetField(fields_.url, text); }
    const QStringList& QRText() const { return fields_.text; }
    void SetQRText(const QStringList& lines);

    // Profile links of the fields (-1 typed by hand). The phone-book links do not recompose.
    enum TLink { lnName, lnFurigana, lnTel1, lnTel2, lnEmail1, lnEmail2, lnUrlTitle, lnUrl, LinkCount };
    int Link(TLink link) const { return links_[link]; }
    void SetLink(TLink link, int id);
    template <TLink L>
    int LinkOf() const { return links_[L]; }
    template <TLink L>
    void SetLinkOf(int id) { SetLink(L, id); }

    const QUuid& ProfileGuid() const { return profileGuid_; }
    // The composed text, as it is encoded (code page 932 bytes).
    QString ComposedText() const;

    // "ProfileGuid" takes the place of the raw data record.
    void DefineProperties(TFiler& filer) override;

protected:
    void AssignFrom(const TDrawObject& source) override;

private:
    void SetField(QString& field, const QString& text);
    void Recompose();

    TStdQRType type_ = sqtDoCoMo;
    TStdQRKind kind_ = sqkTel;
    TQRPhoneFields fields_;
    int links_[LinkCount];
    QUuid profileGuid_;
};

}  // namespace kestrel
