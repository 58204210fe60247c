#include "support/DataMainTestSupport.h"

#include "app/AppFrame.h"
#include "app/MessageBox.h"

namespace kestrel::test {

std::unique_ptr<TdataMain> MakeTestDataMain(const QString& folder, QStringList& messages)
{
    auto dataMain = std::make_unique<TdataMain>(QStringList{"kestrel"});
    TAppFrame& frame = dataMain->AppFrame();
    frame.SetExecuteCondition({});
    frame.Macro().SetValue("DataNameNoExt", folder + "/kestrel");
    frame.OnMessageBox = [&messages](const QString& text, const TMsgButtons&, int, int) {
        messages << text;
        return int(mrOk);
    };
    return dataMain;
}

}  // namespace kestrel::test
