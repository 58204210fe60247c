#include "print/PrintSpec.h"

#include "app/AppFrame.h"
#include "print/BandPage.h"

namespace kestrel {

bool TPrintSpec::IsFaceSelected(int index) const
{
    return AllFaces || (index >= 0 && index < int(Faces.size()) && Faces[index] != 0);
}

int TPrintSpec::SelectedCount(int faceCount) const
{
    int count = 0;
    for (int n = 0; n < faceCount; ++n) count += IsFaceSelected(n);
    return count;
}

TPrintSpec FillPrintSpec(const TPrintOptions& options, bool directPrint)
{
    TPrintSpec job;
    job.Copies = options.copies;
    job.PrintFrame = options.printFrame && !directPrint;
    job.PrintCutLine = options.printCutLine && !directPrint;
    job.PrintPaperImage = options.printPaperImage && !directPrint;
    job.BlurEdge = options.blurEdge;
    job.Offset = QPoint(options.leftOffset, options.topOffset);
    job.Correction = DensityCorrection(options.thicknessLevel);
    job.AllFaces = !options.selectedOnly;
    if (options.selectedOnly) job.Faces.assign(options.selection.cbegin(), options.selection.cend());
    return job;
}

TPrintSettings ReadPrintSettings()
{
    TPrintSettings settings;
    settings.thicknessLevel = TAppFrame::ReadInteger(QStringLiteral("PrintThicknessLevel"), 0);
    settings.topOffset = TAppFrame::ReadInteger(QStringLiteral("PrintTopOffset"), 0);
    settings.leftOffset = TAppFrame::ReadInteger(QStringLiteral("PrintLeftOffset"), 0);
    settings.offsetEnabled = TAppFrame::ReadBool(QStringLiteral("PrintOffsetEnabled"), true);
    return settings;
}

void WritePrintSettings(const TPrintSettings& settings)
{
    TAppFrame::WriteInteger(QStringLiteral("PrtThicknessLevel"), settings.thicknessLevel);
    TAppFrame::WriteInteger(QStringLiteral("PrintTopOffset"), settings.topOffset);
    TAppFrame::WriteInteger(QStringLiteral("PrintLeftOffset"), settings.leftOffset);
    TAppFrame::WriteBool(QStringLiteral("PrintOffsetEnabled"), settings.offsetEnabled);
}

int BandingSetting()
{
    return TAppFrame::ReadInteger(QStringLiteral("Banding"), 1);
}

}  // namespace kestrel
