#include "platform/Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace kestrel {
namespace {

// One conversion descriptor per call: iconv state is not thread-safe and opening is cheap.
class TIconv {
public:
    TIconv(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: CP932 is not available");
    }
    ~TIconv() { iconv_close(cd_); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // Converts as much as possible; returns false when stopped by an invalid or incomplete
    // sequence, leaving in/inLeft at it.
    bool Convert(char*& in, size_t& inLeft, QByteArray& out)
    {
        char buffer[1024];
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(cd_, &in, &inLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

// Code page 932 agrees with ASCII on every byte below 0x80 (glibc maps 0x5C and 0x7E to
// themselves), so plain ASCII needs no conversion descriptor.
bool IsAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

int Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    return 4;
}

}  // namespace

QByteArray ToCp932(const QString& text)
{
    if (IsAscii(text)) return text.toLatin1();
    QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    TIconv conv("CP932", "UTF-8");
    char* in = utf8.data();
    size_t inLeft = utf8.size();
    while (!conv.Convert(in, inLeft, out)) {
        out.append('?');
        size_t skip = std::min<size_t>(Utf8SequenceLength(static_cast<unsigned char>(*in)), inLeft);
        in += skip;
        inLeft -= skip;
    }
    return out;
}

QString FromCp932(QByteArrayView bytes)
{
    if (IsAscii(bytes)) return QString::fromLatin1(bytes);
    QByteArray copy = bytes.toByteArray();
    QByteArray utf16;
    utf16.reserve(copy.size() * 2);
    TIconv conv("UTF-16LE", "CP932");
    char* in = copy.data();
    size_t inLeft = copy.size();
    while (!conv.Convert(in, inLeft, utf16)) {
        utf16.append("\xFD\xFF", 2);
        ++in;
        --inLeft;
    }
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

bool CanEncodeCp932(const QString& text)
{
    if (IsAscii(text)) return true;
    QByteArray utf8 = text.toUtf8();
    QByteArray out;
    TIconv conv("CP932", "UTF-8");
    char* in = utf8.data();
    size_t inLeft = utf8.size();
    return conv.Convert(in, inLeft, out);
}

}  // namespace kestrel
