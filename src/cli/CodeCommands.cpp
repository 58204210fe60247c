#include "cli/CodeCommands.h"

#include <optional>

#include "cli/CommandSupport.h"
#include "codes/JANCode.h"
#include "codes/LOJANCode.h"
#include "codes/QRCode.h"
#include "platform/Cp932.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

constexpr int kMaxScale = 64;
constexpr int kJanPixelsPerModule = 3;
constexpr int kJanHeightPercent = 40;

struct TQrOptions {
    QString text;
    QString target;
    int scale = 1;
};

// A one-letter option value out of the allowed letters.
std::optional<char> LetterArgument(const QString& text, const char* allowed)
{
    if (text.size() != 1 || !QByteArray(allowed).contains(text[0].toLatin1())) return std::nullopt;
    return text[0].toLatin1();
}

// Applies the options to the encoder; false on a usage error.
bool ParseQrOptions(const QStringList& arguments, TQRCode& code, TQrOptions& options)
{
    bool haveText = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (arg == u"--out" && hasValue) {
            options.target = arguments[++i];
        } else if (arg == u"--level" && hasValue) {
            const auto level = LetterArgument(arguments[++i], "LMQH");
            if (!level) return false;
            code.SetErrorCorrectLevel(*level);
        } else if (arg == u"--version" && hasValue) {
            const auto version = NumberArgument(arguments[++i], 1, 40);
            if (!version) return false;
            code.SetVersion(*version);
            code.SetAutoVersion(false);
        } else if (arg == u"--mask" && hasValue) {
            const auto mask = NumberArgument(arguments[++i], 0, 7);
            if (!mask) return false;
            code.SetMaskNo(*mask);
            code.SetAutoMask(false);
        } else if (arg == u"--mode" && hasValue) {
            const auto mode = LetterArgument(arguments[++i], "0A8");
            if (!mode) return false;
            code.SetEncodeMode(*mode);
            code.SetAutoEncodeMode(false);
        } else if (arg == u"--scale" && hasValue) {
            const auto scale = NumberArgument(arguments[++i], 1, kMaxScale);
            if (!scale) return false;
            options.scale = *scale;
        } else if (!arg.startsWith(u"--") && !haveText) {
            options.text = arg;
            haveText = true;
        } else {
            return false;
        }
    }
    return haveText && !options.target.isEmpty();
}

}  // namespace

int RunQrCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    TQRCode code;
    TQrOptions options;
    if (!ParseQrOptions(arguments, code, options)) {
        errors << QStringLiteral("使い方: kestrel-cli qr テキスト --out 出力.png [--level L|M|Q|H] [--version 1-40] "
                                 "[--mask 0-7] [--mode 0|A|8] [--scale 1-%1]\n")
                      .arg(kMaxScale);
        return kUsageError;
    }
    if (!CanEncodeCp932(options.text)) {
        errors << QStringLiteral("エラー: シフトJISで表せない文字が含まれています\n");
        return 1;
    }
    code.SetData(ToCp932(options.text));
    if (!code.Encode()) {
        return ReportError(errors, code.ProblemMessage());
    }
    try {
        const QImage& symbol = code.Symbol();
        SavePicture(symbol.scaled(symbol.size() * options.scale), options.target);
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
    out << QStringLiteral("バージョン %1  誤り訂正レベル %2  マスク %3  モード %4  %5 バイト\n")
               .arg(code.Version())
               .arg(QChar(code.ErrorCorrectLevel()))
               .arg(code.MaskNo())
               .arg(QChar(code.EffectiveMode()))
               .arg(code.Data().size());
    return 0;
}

int RunJanCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 3 || arguments[1] != u"--out") {
        errors << QStringLiteral("使い方: kestrel-cli jan 数字(7・8・12・13桁) --out 出力.png\n");
        return kUsageError;
    }
    const QString code = AcceptedJANEntry(arguments[0]);
    if (code.isEmpty()) {
        errors << QStringLiteral("エラー: JANコードが正しくありません。\n");
        return 1;
    }
    const int width = JANModules(code).size() * kJanPixelsPerModule;
    QImage picture(width, width * kJanHeightPercent / 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    TLOJANCode symbol;
    symbol.SetJANCode(code);
    symbol.SetBounds({0, 0, picture.width(), picture.height()});
    {
        TCanvas canvas(picture);
        symbol.Paint(canvas);
    }
    try {
        SavePicture(picture, arguments[2]);
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
    out << code << '\n';
    return 0;
}

}  // namespace kestrel
