#include "cli/ThumbnailsCommand.h"

#include <QFileInfo>

#include "cli/Commands.h"
#include "imaging/PreviewCache.h"
#include "platform/Error.h"

namespace kestrel {

int RunThumbnailsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 1) {
        errors << cli::CommandUsage("thumbnails") << '\n';
        return 2;
    }
    const QString folder = arguments.first();
    if (!QFileInfo(folder).isDir()) {
        errors << "フォルダが見つかりません: " << folder << '\n';
        return 1;
    }
    try {
        const TThumbnailCounts counts = FillFolderPreviews(folder, [&out](int done, int total) {
            out << "\rプレビュー作成中 " << done << '/' << total << Qt::flush;
        });
        out << "\nキャッシュから " << counts.fromCache << " 件、デコード " << counts.decoded << " 件";
        if (counts.failed) out << "、読み込めなかったファイル " << counts.failed << " 件";
        out << '\n';
        return 0;
    } catch (const EKestrel& e) {
        errors << "\n" << e.Message() << '\n';
        return 1;
    }
}

}  // namespace kestrel
