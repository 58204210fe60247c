#include "DiscText.h"

#include <QStringDecoder>
#include <iconv.h>

namespace kestrel::plugin {

namespace {

class TConverter {
public:
    TConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~TConverter()
    {
        if (Valid()) iconv_close(cd_);
    }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nothing when any of it cannot be.
    bool Convert(const QByteArray& in, QByteArray* out)
    {
        if (!Valid()) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        QByteArray buffer(in.size() * 4 + 16, Qt::Uninitialized);
        char* inPtr = const_cast<char*>(in.constData());
        size_t inLeft = size_t(in.size());
        char* outPtr = buffer.data();
        size_t outLeft = size_t(buffer.size());
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0) return false;
        buffer.truncate(buffer.size() - qsizetype(outLeft));
        *out = buffer;
        return true;
    }

private:
    iconv_t cd_;
};

bool ValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

QString DecodeDiscBytes(const QByteArray& bytes)
{
    if (ValidUtf8(bytes)) return QString::fromUtf8(bytes);
    TConverter decoder("UTF-8", "CP932");
    QByteArray utf8;
    if (decoder.Convert(bytes, &utf8)) return QString::fromUtf8(utf8);
    // Neither: each byte that is not ASCII stands for a character we cannot name.
    QString text;
    for (const char c : bytes) text += uchar(c) < 0x80 ? QChar(c) : QChar(0xFFFD);
    return text;
}

QString FitCp932(const QString& text, bool* replaced)
{
    TConverter encoder("CP932", "UTF-8");
    QString fitted;
    *replaced = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        QByteArray encoded;
        if (encoder.Convert(character.toUtf8(), &encoded)) {
            fitted += character;
        } else {
            fitted += u'?';
            *replaced = true;
        }
        i += length - 1;
    }
    return fitted;
}

}  // namespace kestrel::plugin
