#pragma once

#include <QFlags>
#include <QString>
#include <exception>
#include <functional>

#include "app/ExceptionReport.h"
#include "app/MacroString.h"
#include "app/MessageBox.h"
#include "app/MessageFormat.h"

namespace kestrel {

class IFormPlacement;

enum TExecuteCondition {
    ecNeedHighColor = 1,
    ecNeedPrinter = 2,
    ecExclusive = 4,
    ecPowerUsers = 8,
};
Q_DECLARE_FLAGS(TExecuteConditions, TExecuteCondition)

// The process-wide application frame: the macro table, the settings operations on
// $(SysRegistryKey), message boxes, help and the start conditions. The frame constructed last
// is the global one until it goes, when the one before it is global again; the static
// operations use it and degrade as documented when there is none.
class TAppFrame {
public:
    TAppFrame();
    ~TAppFrame();
    TAppFrame(const TAppFrame&) = delete;
    TAppFrame& operator=(const TAppFrame&) = delete;

    static TAppFrame* Instance();

    TMacroString& Macro() { return macro_; }
    const TMacroString& Macro() const { return macro_; }
    QString Expand(const QString& text) const { return macro_.Expand(text); }

    // After the macro table is set: adds the built-in macros, takes the application title and
    // help file from the table and becomes the application's exception handler.
    void Loaded();
    const QString& Title() const { return title_; }
    const QString& HelpFile() const { return helpFile_; }

    TExecuteConditions ExecuteCondition() const { return executeCondition_; }
    void SetExecuteCondition(TExecuteConditions conditions) { executeCondition_ = conditions; }
    // False means the program must not start; the reason has been shown, or the program that
    // runs already took over (HandedOver).
    bool CheckExecuteConditions();
    // Another instance holds the lock: hands this start's command line to it; true when it
    // took it. Without a handler (or when it fails) "$(SysMsgAlreadyRun)" is shown.
    std::function<bool()> OnAlreadyRunning;
    bool HandedOver() const { return handedOver_; }
    // The screen's colour depth in bits per pixel (the user interface supplies it; without one
    // the depth counts as enough) and whether a default printer exists.
    void SetColorDepthQuery(std::function<int()> query) { colorDepthQuery_ = std::move(query); }
    void SetPrinterQuery(std::function<bool()> query) { printerQuery_ = std::move(query); }

    // Shows an unexpected error (through OnException when assigned).
    void HandleException(const std::exception& e);
    // Forwards a help request to OnHelp; false when nobody handled it.
    bool Help(const QString& command, const QString& data);

    TMessageBoxHandler OnMessageBox;
    std::function<bool(const QString& command, const QString& data)> OnHelp;
    std::function<void(const std::exception&)> OnException;

    // Settings directly under $(SysRegistryKey). Reads give the default without a frame, with an
    // empty SysRegistryKey or before the key exists, and never create it; writes create it.
    static bool ReadBool(const QString& name, bool def);
    static int ReadInteger(const QString& name, int def);
    static QString ReadString(const QString& name, const QString& def);
    static void WriteBool(const QString& name, bool value);
    static void WriteInteger(const QString& name, int value);
    static void WriteString(const QString& name, const QString& value);

    // Saves the form's normal rectangle as <FormName>Left, Top, Width and Height.
    static void SaveFormPlacement(const IFormPlacement& form);
    // Restores it; without saved values the form gets the default size (clipped to the screen),
    // centred on the screen.
    static void RestoreFormPlacement(IFormPlacement& form, int defaultWidth, int defaultHeight);

    // Expands the macros of text once, then fills args into the result (never expanded again),
    // and shows it through OnMessageBox. Without a handler the text goes to standard error and
    // the default button answers. Returns a TModalResult.
    static int ShowMessage(const QString& text, const TMsgButtons& kinds, int cancelIndex, int defaultIndex,
                           const TFormatArgs& args = {});
    static void ShowOkMessage(const QString& text, const TFormatArgs& args = {});
    // OK and Cancel; true for OK.
    static bool ConfirmOkCancel(const QString& text, const TFormatArgs& args = {});
    // Runs a step of the user interface: our own error is shown as its message (never read as
    // macros), any other as an unexpected one. False when the step failed.
    static bool ShowingErrors(const std::function<void()>& step);

    // A data file given relative to the program folder ("*" and "?" make a pattern; the first
    // match by name wins), looked for in the data folders of $(ExeDir) (beside the program, then
    // where it is installed), then under the folder in the setting "CDPath". Empty when not found.
    static QString FindDataFile(const QString& relativePath);

private:
    static int ShowFinishedMessage(const QString& text, const TMsgButtons& kinds, int cancelIndex,
                                   int defaultIndex);
    static QString SettingsKeyPath();
    void AddBuiltInMacros();
    bool ConfirmColorDepth();
    bool RequireCondition(bool met, const QString& message);
    bool TakeExclusiveLock();

    TMacroString macro_;
    TExecuteConditions executeCondition_;
    QString title_;
    QString helpFile_;
    std::function<int()> colorDepthQuery_;
    std::function<bool()> printerQuery_;
    bool handlerInstalled_ = false;
    bool handedOver_ = false;
    TExceptionHandler previousHandler_;
    TAppFrame* previousFrame_;
};

// Expands text through the global frame; unchanged when there is none.
QString ExpandMacro(const QString& text);

}  // namespace kestrel

Q_DECLARE_OPERATORS_FOR_FLAGS(kestrel::TExecuteConditions)
