#include "cli/CommandSupport.h"

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/DocumentFlows.h"
#include "label/LabelData.h"
#include <QFileInfo>

#include "platform/PictureCodecs.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

std::optional<int> NumberArgument(const QString& text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

int ReportError(QTextStream& errors, const QString& message)
{
    errors << QStringLiteral("エラー: ") << QString(message).replace(u'\n', QStringLiteral("\n  ")) << '\n';
    return 1;
}

void ReportWarnings(QTextStream& errors, const QStringList& warnings)
{
    for (const QString& warning : warnings) errors << QStringLiteral("警告: ") << warning << '\n';
}

int RefuseForProblems(QTextStream& errors, const QStringList& problems)
{
    return ReportError(errors, QStringLiteral("文書のとおりに描けないものがあるため、中止しました。"
                                              "そのまま続けるときは --anyway を付けてください\n") +
                                   problems.join(u'\n'));
}

QStringList SheetProblems(TLabelData& document)
{
    QStringList problems;
    const int designs = document.SeparatelyDesign() ? document.FaceCount() : std::min(1, document.FaceCount());
    for (int n = 0; n < designs; ++n) {
        TDOList objects;
        document.LoadFaceObjects(n, objects);
        for (int i = 0; i < objects.Count(); ++i) {
            TDrawObject& object = objects.Item(i);
            const QString problem = object.Problem();
            if (problem.isEmpty()) continue;
            problems << QStringLiteral("シート%1 の面%2 のオブジェクト%3（%4）: %5")
                            .arg(document.CurrentSheet() + 1)
                            .arg(n + 1)
                            .arg(i + 1)
                            .arg(QString::fromLatin1(object.ClassName()), problem);
        }
    }
    return problems;
}

int ReportUnreadable(const QString& file, const std::exception& e, QTextStream& errors)
{
    const QString title = TAppFrame::Instance() ? TAppFrame::Instance()->Title() : QStringLiteral("Kestrel");
    return ReportError(errors, OpenFailureMessage(file, e, title));
}

EArgumentError::EArgumentError(const QString& option, const QString& value, const QString& problem)
    : EKestrel(value.isEmpty() ? QStringLiteral("%1: %2").arg(option, problem)
                               : QStringLiteral("%1 %2: %3").arg(option, value, problem))
{
}

int IntegerOption(const QString& option, const QString& value, const QString& what)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok) throw EArgumentError(option, value, QStringLiteral("%1は整数で指定してください").arg(what));
    return number;
}

int CheckedRange(const QString& option, int value, int min, int max, const QString& what)
{
    if (value < min || value > max)
        throw EArgumentError(option, QString::number(value),
                             max < min ? QStringLiteral("%1を選べるものがありません").arg(what)
                                       : QStringLiteral("%1は%2から%3までです").arg(what).arg(min).arg(max));
    return value;
}

const QString& OptionValue(const QStringList& arguments, int& i)
{
    if (i + 1 >= arguments.size()) throw EArgumentError(arguments[i], {}, QStringLiteral("値がありません"));
    return arguments[++i];
}

int RangedOption(const QStringList& arguments, int& i, int min, int max, const QString& what)
{
    const QString& option = arguments[i];
    return CheckedRange(option, IntegerOption(option, OptionValue(arguments, i), what), min, max, what);
}

char LetterOption(const QStringList& arguments, int& i, const char* allowed, const QString& what)
{
    const QString& option = arguments[i];
    const QString& value = OptionValue(arguments, i);
    const QByteArray letters(allowed);
    if (value.size() != 1 || !letters.contains(value[0].toLatin1())) {
        QStringList choices;
        for (char letter : letters) choices << QString(QChar(letter));
        throw EArgumentError(option, value, QStringLiteral("%1は %2 のどれかです").arg(what, choices.join(u' ')));
    }
    return value[0].toLatin1();
}

void ThrowUnexpectedArgument(const QString& arg)
{
    if (arg.startsWith(u"--")) throw EArgumentError(arg, {}, QStringLiteral("このオプションはありません"));
    throw EArgumentError(arg, {}, QStringLiteral("ファイルは一つだけ指定してください"));
}

QString SingleFileArgument(const QStringList& arguments, const QString& placeholder, const QString& what)
{
    for (const QString& arg : arguments)
        if (arg.startsWith(u"--")) ThrowUnexpectedArgument(arg);
    if (arguments.isEmpty()) throw EArgumentError(placeholder, {}, QStringLiteral("%1を指定してください").arg(what));
    if (arguments.size() > 1) ThrowUnexpectedArgument(arguments[1]);
    return arguments[0];
}

int ReportArgumentError(QTextStream& errors, const EArgumentError& e, const QString& usage)
{
    errors << QStringLiteral("エラー: ") << e.Message() << '\n' << usage << '\n';
    return kUsageError;
}

TOutputFormat OutputFormatOf(const QString& option, const QString& file, bool pdfAllowed)
{
    const std::optional<TOutputFormat> format = OutputFormatOfFile(file);
    if (format && (*format != TOutputFormat::Pdf || pdfAllowed)) return *format;
    throw EArgumentError(option, file,
                         pdfAllowed ? QStringLiteral("出力の形式は拡張子 .png .jpg .jpeg .bmp .pdf で指定してください")
                                    : QStringLiteral("出力の形式は拡張子 .png .jpg .jpeg .bmp で指定してください"));
}

void SavePictureInBands(const QString& file, QSize size, int dpi,
                        const std::function<bool(const std::function<void(const QImage&)>& sink)>& draw)
{
    const TOutputFormat format = OutputFormatOf(QStringLiteral("--out"), file, false);
    TReplacingFile target(file);
    if (!target.Open()) throw EKestrel(QStringLiteral("「%1」に書き込めませんでした: %2").arg(file, target.ErrorString()));
    const std::unique_ptr<TPictureBandWriter> writer = format == TOutputFormat::Png ? NewPngBandWriter(target.Device(), size, dpi)
                                                      : format == TOutputFormat::Jpeg
                                                          ? NewJpegBandWriter(target.Device(), size, OutputJpegQuality)
                                                          : NewBmpBandWriter(target.Device(), size);
    if (!draw([&writer](const QImage& band) { writer->WriteBand(band); })) return;
    writer->Finish();
    if (!target.Commit()) throw EKestrel(QStringLiteral("「%1」に書き込めませんでした: %2").arg(file, target.ErrorString()));
}

void SavePicture(const QImage& picture, const QString& file)
{
    const TOutputFormat format = OutputFormatOf(QStringLiteral("--out"), file, false);
    WriteFileReplacing(file, EncodeOutputPicture(picture, format));
}

}  // namespace kestrel
