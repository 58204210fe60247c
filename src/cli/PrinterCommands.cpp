#include "cli/PrinterCommands.h"

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/PaperCommands.h"
#include "paper/CatalogueStartup.h"
#include "platform/PrinterConfiguration.h"
#include "print/DirectPrint.h"

namespace kestrel {

namespace {

QString DiscText(const std::optional<TTrayGeometry>& tray)
{
    if (!tray) return QStringLiteral("ディスク印刷 不可");
    return QStringLiteral("ディスク印刷 可\tトレイ %1x%2\t中心 (%3,%4)")
        .arg(tray->TrayWidth)
        .arg(tray->TrayHeight)
        .arg(tray->CenterX)
        .arg(tray->CenterY);
}

}  // namespace

int RunPrintersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString catalogueFile;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            if (arguments[i] == u"--catalogue")
                catalogueFile = OptionValue(arguments, i);
            else
                ThrowUnexpectedArgument(arguments[i]);
        }
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("printers"));
    }
    try {
        TPaperCatalogue papers;
        OpenCatalogueForCommand(papers, catalogueFile);
        for (const QString& name : InstalledPrinterNames()) {
            std::unique_ptr<TPrinterConfiguration> printer = TPrinterConfiguration::Named(name);
            const QString driver = printer->IsPdf() ? QStringLiteral("-") : printer->GetDriverName();
            out << name << '\t' << (driver.isEmpty() ? QStringLiteral("-") : driver) << '\t'
                << DiscText(DiscTrayOf(*printer, papers.Catalogue())) << '\n';
        }
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel
