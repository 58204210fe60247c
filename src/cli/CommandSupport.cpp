#include "cli/CommandSupport.h"

#include "app/AppFrame.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

std::optional<int> NumberArgument(const QString& text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

int ReportUnreadable(const EKestrel& e, QTextStream& errors)
{
    const QString title = TAppFrame::Instance() ? TAppFrame::Instance()->Title() : QStringLiteral("Kestrel");
    errors << QStringLiteral("エラー: 指定されたファイルは「%1」のデータではありません\n(%2)\n").arg(title, e.Message());
    return 1;
}

void SavePicture(const QImage& picture, const QString& file)
{
    TReplacingFile target(file);
    if (picture.isNull() || !target.Open() || !picture.save(&target.Device(), "PNG") || !target.Commit())
        throw EKestrel(QStringLiteral("「%1」に書き込めませんでした").arg(file));
}

}  // namespace kestrel
