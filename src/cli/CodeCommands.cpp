#include "cli/CodeCommands.h"

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "codes/JANCode.h"
#include "codes/LOJANCode.h"
#include "codes/QRCode.h"
#include "platform/Cp932.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

constexpr int kMaxScale = 64;
// Pixels per module unless told: one pixel per module is too small to scan or print.
constexpr int kDefaultScale = 8;
constexpr int kJanPixelsPerModule = 3;
constexpr int kJanHeightPercent = 40;

struct TQrOptions {
    QString text;
    QString target;
    int scale = kDefaultScale;
};


// Applies the options to the encoder.
TQrOptions ParseQrOptions(const QStringList& arguments, TQRCode& code)
{
    TQrOptions options;
    bool haveText = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--out") {
            options.target = OptionValue(arguments, i);
        } else if (arg == u"--level") {
            code.SetErrorCorrectLevel(LetterOption(arguments, i, "LMQH", QStringLiteral("誤り訂正レベル")));
        } else if (arg == u"--version") {
            code.SetVersion(RangedOption(arguments, i, 1, 40, QStringLiteral("バージョン")));
            code.SetAutoVersion(false);
        } else if (arg == u"--mask") {
            code.SetMaskNo(RangedOption(arguments, i, 0, 7, QStringLiteral("マスク番号")));
            code.SetAutoMask(false);
        } else if (arg == u"--mode") {
            code.SetEncodeMode(LetterOption(arguments, i, "0A8", QStringLiteral("モード")));
            code.SetAutoEncodeMode(false);
        } else if (arg == u"--scale") {
            options.scale = RangedOption(arguments, i, 1, kMaxScale, QStringLiteral("倍率"));
        } else if (!arg.startsWith(u"--") && !haveText) {
            options.text = arg;
            haveText = true;
        } else {
            ThrowUnexpectedArgument(arg);
        }
    }
    if (!haveText) throw EArgumentError(QStringLiteral("テキスト"), {}, QStringLiteral("符号にするテキストを指定してください"));
    if (options.target.isEmpty()) throw EArgumentError(QStringLiteral("--out"), {}, QStringLiteral("出力ファイルを指定してください"));
    return options;
}

struct TJanOptions {
    QString digits;
    QString target;
};

TJanOptions ParseJanOptions(const QStringList& arguments)
{
    TJanOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--out")
            options.target = OptionValue(arguments, i);
        else if (!arg.startsWith(u"--") && options.digits.isEmpty())
            options.digits = arg;
        else
            ThrowUnexpectedArgument(arg);
    }
    if (options.digits.isEmpty()) throw EArgumentError(QStringLiteral("数字"), {}, QStringLiteral("JANコードの数字を指定してください"));
    if (options.target.isEmpty()) throw EArgumentError(QStringLiteral("--out"), {}, QStringLiteral("出力ファイルを指定してください"));
    return options;
}

}  // namespace

int RunQrCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    TQRCode code;
    TQrOptions options;
    try {
        options = ParseQrOptions(arguments, code);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("qr"));
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
               .arg(QChar(code.EncodeMode()))
               .arg(code.Data().size());
    return 0;
}

int RunJanCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    TJanOptions options;
    try {
        options = ParseJanOptions(arguments);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("jan"));
    }
    const QString code = AcceptedJANEntry(options.digits);
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
        SavePicture(picture, options.target);
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
    out << code << '\n';
    return 0;
}

}  // namespace kestrel
