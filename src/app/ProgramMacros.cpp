#include "app/ProgramMacros.h"

namespace kestrel {

QStringList ProgramMacroTable()
{
    return {
        "AppName=Kestrel",
        "SysHelpFile=$(HelpDir)index.html",
        "SysMsgUnexpected=予期しないエラーが発生しました$(CRLF)%s",
        "SysMsgTwainErr=TWAINでエラーが発生しました。$(CRLF)TWAINドライバあるいはTWAIN機器に問題があると$("
        "CRLF)"
        "思われます$(CRLF)「%s」",
        "SysMsgNotDefaultPrinter=通常使うプリンタがセットされていません$(CRLF)"
        "コントロールパネルのプリンタを開いて設定してください",
        "SysMsgNotEnoughColor=「$(AppName)」は、32,000色以上の$(CRLF)表示環境でご使用ください。$(CRLF)"
        "正しく表示できないことがありますが起動しますか？",
        "SysMsgAlreadyRun=$(AppName)は、すでに実行中です",
        "SysMutexID=$(AppName).$(ShortVer).Basalt.Japan",
        "SysRegistryKey=Software\\Corvidworks\\KestrelMusic\\$(ShortVer)\\Settings",
        "ProductDB=$(DataNameNoExt).cdb",
        "SystemPaperInfo=$(DataNameNoExt).ppr",
        "CoonsDistortionData=$(DataNameNoExt).cdd",
        "UserImageHistory=$(SysRegistryKey)\\UserImageHistory",
        "OpenFileHistory=$(SysRegistryKey)\\OpenFileHistory",
        "CDPathHistory=$(SysRegistryKey)\\CDPathHistory",
        "WindowColors=$(SysRegistryKey)\\WindowColors",
        "LabelDataHistory=$(SysRegistryKey)\\LabelDataHistory",
        "TitleBarFormat=$(AppName) - %s",
        "PrintTitleFormat=%s - $(AppName)",
        "FindPaperHistory=$(SysRegistryKey)\\FindPaperHistory",
        "UsedPaperHistory=$(SysRegistryKey)\\UsedPaperHistory",
        "UsedMediaHistory=$(SysRegistryKey)\\UsedMediaHistory",
        "QRCodeHistory=$(SysRegistryKey)\\QRCodeHistory",
        "OpenDataFilter=%sデータ(*.%s)|*.%s|すべてのファイル(*.*)|*.*",
        "UserPreferenceFolder=$(AppDataDir)$(AppName)/$(ShortVer)/",
        "SystemPreferenceFolder=$(ExeDir)",
        "ColorSpecHistory=$(UserPreferenceFolder)ColorSpec.hst",
        "FindAlbumHistory=$(SysRegistryKey)\\FindAlbumHistory",
        "ImageCacheFile=$(UserPreferenceFolder)ImageCache.ic",
        "ImageFileExtentions=.bmp;.jpg;.jpeg;.pcd;.wmf;.emf;.cbm;.gif;.png",
        "UserPaperInfo=$(UserPreferenceFolder)UserPaper.ppr",
        "SysMsgNotPowerUsers=「$(AppName)」の実行には$(CRLF)標準ユーザー（PowerUsers）以上の権限が必要です",
        "SizeAdjustKey=$(SysRegistryKey)\\SizeAdjust",
        "FavoriteTemplate=$(UserPreferenceFolder)Favorite.dat",
        "CaptureHistory=$(UserPreferenceFolder)CaptureHistory",
    };
}

}  // namespace kestrel
