#include "app/AppFrame.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/FormPlacement.h"
#include "platform/Error.h"
#include "platform/ExecuteBlocker.h"
#include "platform/Printers.h"
#include "platform/ProgramPaths.h"
#include "platform/SettingsStore.h"

namespace kestrel {

namespace {

TAppFrame* globalFrame = nullptr;

// Colour depth assumed when no screen answers (headless use).
constexpr int kEnoughColorDepth = 32;
// At or below this many bits per pixel the display cannot show the program's colours.
constexpr int kLowColorDepth = 8;

// Acquired blockers stay held until the process ends.
std::vector<std::unique_ptr<TExecuteBlocker>>& HeldExecuteBlockers()
{
    static std::vector<std::unique_ptr<TExecuteBlocker>> locks;
    return locks;
}

bool AcquireExecuteBlocker(const QString& name)
{
    auto lock = std::make_unique<TExecuteBlocker>(name);
    if (!lock->TryAcquire()) return false;
    HeldExecuteBlockers().push_back(std::move(lock));
    return true;
}

bool HasWildcard(const QString& path)
{
    return path.contains(u'*') || path.contains(u'?');
}

QString FindUnder(const QString& folder, const QString& relativePath)
{
    const QString path = JoinPath(folder, relativePath);
    if (!HasWildcard(relativePath)) return QFileInfo::exists(path) ? path : QString();
    const QFileInfo pattern(path);
    const QDir dir = pattern.dir();
    const QStringList matches =
        dir.entryList({pattern.fileName()}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    return matches.isEmpty() ? QString() : dir.filePath(matches.first());
}

}  // namespace

TAppFrame::TAppFrame() : printerQuery_(DefaultPrinterAvailable), previousFrame_(globalFrame)
{
    macro_.SetLines({"AppName=Project"});
    globalFrame = this;
}

TAppFrame::~TAppFrame()
{
    if (handlerInstalled_) SetExceptionHandler(std::move(previousHandler_));
    if (globalFrame == this) globalFrame = previousFrame_;
}

TAppFrame* TAppFrame::Instance()
{
    return globalFrame;
}

void TAppFrame::AddBuiltInMacros()
{
    macro_.SetValue("CRLF", "\r\n");
    macro_.SetValue("Quote", "\"");
    macro_.SetValue("ExeDir", kestrel::ExeDir());
    macro_.SetValue("ExeNameNoExt", kestrel::ExeNameNoExt());
    macro_.SetValue("DataNameNoExt", kestrel::DataNameNoExt());
    macro_.SetValue("HelpDir", kestrel::HelpDir());
    macro_.SetValue("PlugInDir", kestrel::PlugInDir());
    macro_.SetValue("AppDataDir", kestrel::AppDataDir());
    macro_.SetValue("ShortVer", kestrel::ShortVer());
    macro_.SetValue("LongVer", kestrel::LongVer());
}

void TAppFrame::Loaded()
{
    AddBuiltInMacros();
    title_ = Expand("$(AppName)");
    helpFile_ = Expand("$(SysHelpFile:inessential)");
    if (!handlerInstalled_) {
        previousHandler_ = SetExceptionHandler([this](const std::exception& e) { HandleException(e); });
        handlerInstalled_ = true;
    }
}

bool TAppFrame::RequireCondition(bool met, const QString& message)
{
    if (!met) ShowOkMessage(message);
    return met;
}

bool TAppFrame::ConfirmColorDepth()
{
    const int depth = colorDepthQuery_ ? colorDepthQuery_() : kEnoughColorDepth;
    if (depth > kLowColorDepth) return true;
    return ShowMessage("$(SysMsgNotEnoughColor)", {mbkYes, mbkNo}, 0, 0) != mrNo;
}

bool TAppFrame::CheckExecuteConditions()
{
    const TExecuteConditions conditions = executeCondition_;
    if (conditions.testFlag(ecNeedHighColor) && !ConfirmColorDepth()) return false;
    // ecPowerUsers: there is no machine-wide registration key on Linux that could be refused.
    if (conditions.testFlag(ecNeedPrinter)) {
        bool printer = false;
        try {
            printer = printerQuery_ && printerQuery_();
        } catch (const std::exception&) {
            printer = false;  // an error while asking counts as no printer
        }
        if (!RequireCondition(printer, "$(SysMsgNotDefaultPrinter)")) return false;
    }
    return !conditions.testFlag(ecExclusive) || TakeExclusiveLock();
}

bool TAppFrame::TakeExclusiveLock()
{
    if (AcquireExecuteBlocker(Expand("$(SysMutexID)"))) return true;
    handedOver_ = OnAlreadyRunning && OnAlreadyRunning();
    if (!handedOver_) ShowOkMessage("$(SysMsgAlreadyRun)");
    return false;
}

void TAppFrame::HandleException(const std::exception& e)
{
    if (OnException) {
        OnException(e);
        return;
    }
    const auto* known = dynamic_cast<const EKestrel*>(&e);
    const QString message = ExceptionMessage(e);
    const bool twain = known && qstrcmp(known->ClassName(), "ETwain") == 0;
    QString text;
    try {
        text = FormatText(Expand(twain ? "$(SysMsgTwainErr)" : "$(SysMsgUnexpected)"), {message});
    } catch (const EMacroString&) {
        text = message;  // a broken table must not hide the error being reported
    }
    ShowFinishedMessage(text, {mbkOK}, 0, 0);
}

bool TAppFrame::Help(const QString& command, const QString& data)
{
    return OnHelp && OnHelp(command, data);
}

QString TAppFrame::SettingsKeyPath()
{
    return globalFrame ? globalFrame->Expand("$(SysRegistryKey:inessential)") : QString();
}

bool TAppFrame::ReadBool(const QString& name, bool def)
{
    const QString key = SettingsKeyPath();
    return key.isEmpty() ? def : TSettingsKey(key).ReadBool(name, def);
}

int TAppFrame::ReadInteger(const QString& name, int def)
{
    const QString key = SettingsKeyPath();
    return key.isEmpty() ? def : TSettingsKey(key).ReadInteger(name, def);
}

QString TAppFrame::ReadString(const QString& name, const QString& def)
{
    const QString key = SettingsKeyPath();
    return key.isEmpty() ? def : TSettingsKey(key).ReadString(name, def);
}

void TAppFrame::WriteBool(const QString& name, bool value)
{
    if (const QString key = SettingsKeyPath(); !key.isEmpty()) TSettingsKey(key).WriteBool(name, value);
}

void TAppFrame::WriteInteger(const QString& name, int value)
{
    if (const QString key = SettingsKeyPath(); !key.isEmpty()) TSettingsKey(key).WriteInteger(name, value);
}

void TAppFrame::WriteString(const QString& name, const QString& value)
{
    if (const QString key = SettingsKeyPath(); !key.isEmpty()) TSettingsKey(key).WriteString(name, value);
}

void TAppFrame::SaveFormPlacement(const IFormPlacement& form)
{
    const QString name = form.FormName();
    const QRect bounds = form.NormalBounds();
    WriteInteger(name + "Left", bounds.left());
    WriteInteger(name + "Top", bounds.top());
    WriteInteger(name + "Width", bounds.width());
    WriteInteger(name + "Height", bounds.height());
}

void TAppFrame::RestoreFormPlacement(IFormPlacement& form, int defaultWidth, int defaultHeight)
{
    const QString name = form.FormName();
    const QSize screen = form.ScreenSize();
    const int width = ReadInteger(name + "Width", std::min(defaultWidth, screen.width()));
    const int height = ReadInteger(name + "Height", std::min(defaultHeight, screen.height()));
    const int left = ReadInteger(name + "Left", (screen.width() - width) / 2);
    const int top = ReadInteger(name + "Top", (screen.height() - height) / 2);
    form.SetNormalBounds(QRect(left, top, width, height));
}

int TAppFrame::ShowMessage(const QString& text, const TMsgButtons& kinds, int cancelIndex, int defaultIndex,
                           const TFormatArgs& args)
{
    const QString expanded = globalFrame ? globalFrame->Expand(text) : text;
    return ShowFinishedMessage(args.isEmpty() ? expanded : FormatText(expanded, args), kinds, cancelIndex,
                               defaultIndex);
}

int TAppFrame::ShowFinishedMessage(const QString& text, const TMsgButtons& kinds, int cancelIndex,
                                   int defaultIndex)
{
    if (globalFrame && globalFrame->OnMessageBox)
        return globalFrame->OnMessageBox(text, kinds, cancelIndex, defaultIndex);
    QTextStream(stderr) << QString(text).replace("\r\n", "\n") << Qt::endl;
    return defaultIndex >= 0 && defaultIndex < int(kinds.size()) ? ModalResultOf(kinds[defaultIndex])
                                                                 : mrNone;
}

void TAppFrame::ShowOkMessage(const QString& text, const TFormatArgs& args)
{
    ShowMessage(text, {mbkOK}, 0, 0, args);
}

bool TAppFrame::ConfirmOkCancel(const QString& text, const TFormatArgs& args)
{
    return ShowMessage(text, {mbkOK, mbkCancel}, 1, 0, args) == mrOk;
}

bool TAppFrame::ShowingErrors(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const EKestrel& e) {
        ShowOkMessage(QStringLiteral("%s"), {e.Message()});
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
    return false;
}

QString TAppFrame::FindDataFile(const QString& relativePath)
{
    const QString exeDir = globalFrame ? globalFrame->Expand("$(ExeDir)") : kestrel::ExeDir();
    const QStringList folders = DataFolders(exeDir) << ReadString("CDPath", QString());
    for (const QString& folder : folders) {
        if (folder.isEmpty()) continue;
        if (QString found = FindUnder(folder, relativePath); !found.isEmpty()) return found;
    }
    return {};
}

QString ExpandMacro(const QString& text)
{
    const TAppFrame* frame = TAppFrame::Instance();
    return frame ? frame->Expand(text) : text;
}

}  // namespace kestrel
