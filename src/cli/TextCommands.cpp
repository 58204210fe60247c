#include "cli/TextCommands.h"

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/PaperCommands.h"
#include "platform/Error.h"
#include "platform/FontServices.h"
#include "text/DistortionPresets.h"

namespace kestrel {

int RunBuildDistortionsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 2) {
        errors << cli::CommandUsage("build-distortions") << '\n';
        return kUsageError;
    }
    try {
        const auto presets = ParseDistortionSource(ReadSourceFile(arguments[0]));
        WriteDistortionFile(arguments[1], presets);
        out << QStringLiteral("%1 件の変形を「%2」に書きました\n").arg(presets.size()).arg(arguments[1]);
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunFontsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (!arguments.isEmpty()) {
        errors << cli::CommandUsage("fonts") << '\n';
        return kUsageError;
    }
    out << QStringLiteral("フォント\tアウトライン\t日本語\n");
    for (const TInstalledFont& font : InstalledFonts())
        out << font.family << '\t' << (font.outline ? "yes" : "no") << '\t' << (font.japanese ? "yes" : "no") << '\n';
    out << QStringLiteral("\n文書のフォント名\t描画に使うフォント\n");
    for (const TFaceSubstitute& s : FaceSubstitutes()) {
        const QString used = ResolveFamily(s.storedName);
        out << s.storedName << '\t' << (used.isEmpty() ? QStringLiteral("(なし: %1 がありません)").arg(s.installedFamily) : used)
            << '\n';
    }
    return 0;
}

}  // namespace kestrel
