#include "print/VendorNames.h"

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

struct TMedia {
    int id;
    const char* keyword;  // "" where the driver has no such media
    const char* name;
};

// The maker's own table of 28 media; the keywords are the driver's nearest media.
constexpr std::array<TMedia, 28> EpsonMedia{{
    {1, "Plain", "普通紙"},
    {2, "Transparency", "専用OHPｼｰﾄ"},
    {257, "Inkjet", "ﾌｧｲﾝ紙"},
    {258, "GlossyPaper", "ﾌｫﾄﾌﾟﾘﾝﾄ紙(専用光沢紙)"},
    {259, "GlossyFilm", "専用光沢ﾌｨﾙﾑ"},
    {260, "Coated", "ｽｰﾊﾟｰﾌｧｲﾝ専用紙"},
    {261, "BackFilm", "ﾊﾞｯｸﾗｲﾄﾌｨﾙﾑ"},
    {262, "", "ｷｬﾝﾊﾞｽｸﾛｽ"},
    {266, "", "ｱｲﾛﾝﾌﾟﾘﾝﾄﾍﾟｰﾊﾟｰ"},
    {267, "Matte", "ﾏｯﾄ紙"},
    {268, "Semigloss", "半光沢ﾌｫﾄ紙"},
    {271, "PlainFast", "普通紙(高速)"},
    {272, "Postcard", "はがき"},
    {273, "Envelope", "封筒"},
    {274, "Photo", "写真用紙"},
    {275, "GlossyPhoto", "写真用紙(光沢)"},
    {276, "Luster", "写真用紙(絹目調)"},
    {277, "ArchivalMatte", "ｱｰｶｲﾊﾞﾙﾏｯﾄ紙"},
    {278, "BrightWhite", "ﾌﾞﾗｲﾄﾎﾜｲﾄ紙"},
    {279, "ColorLife", "ｶﾗｰﾗｲﾌ紙"},
    {280, "", "光沢ﾌｨﾙﾑ"},
    {281, "Ilford", "厚手写真用紙"},
    {282, "PresentationMatte", "ﾌﾟﾚｾﾞﾝﾃｰｼｮﾝﾏｯﾄ紙"},
    {283, "CD", "CD-R ﾚｰﾍﾞﾙ"},
    {285, "MatteHeavy", "ﾏｯﾄﾎﾞｰﾄﾞ紙"},
    {286, "UltraGlossyPhoto", "写真用紙(超光沢)"},
    {287, "UltraLuster", "写真用紙(超絹目調)"},
    {288, "Other", "その他"},
}};

constexpr std::array<TMedia, 40> CanonMedia{{
    {1, "Plain", "普通紙"},
    {2, "PhotoPlusGloss2", "写真用紙プラス光沢II"},
    {3, "GlossyPro", "プロフェッショナルフォトペーパー"},
    {4, "PhotopaperPlus", "写真用紙プラス光沢"},
    {5, "PhotopaperPlusDouble", "写真用紙プラス両面"},
    {6, "GlossyPaper", "光沢写真用紙"},
    {7, "PhotopaperMatte", "マット写真用紙"},
    {8, "Coated", "高品位専用紙"},
    {9, "InkJetHagaki", "インクジェットはがき"},
    {10, "Hagaki", "はがき"},
    {11, "TShirt", "Tシャツ転写紙"},
    {12, "Envelope", "封筒"},
    {13, "PhotopaperOther", "その他の写真用紙"},
    {14, "Transparency", "OHPフィルム"},
    {15, "BackPrint", "バックプリントフィルム"},
    {16, "GlossyFilm", "高光沢フィルム"},
    {17, "GlossyCard", "光沢フォトカード"},
    {18, "Boardpaper", "ボード紙"},
    {19, "Canvas", "キャンバス"},
    {20, "Fabric", "布シート"},
    {21, "FineArtMuseumEtching", "ファインアート紙(エッチング)"},
    {22, "FineArtOther", "その他のファインアート紙"},
    {23, "FineArtPhotoRag", "ファインアート紙(フォトラグ)"},
    {24, "FineArtPremiumMatte", "ファインアート紙(プレミアムマット)"},
    {25, "GlossyPaperStandard", "写真用紙・光沢スタンダード"},
    {26, "PhotoPro2", "写真用紙プロII"},
    {27, "PhotoProLuster", "写真用紙プロ(ラスター)"},
    {28, "PhotoProPlat", "写真用紙プロ(プラチナ)"},
    {29, "PhotoProSemiGloss", "写真用紙・絹目調"},
    {30, "HagakiA", "はがき(宛名面)"},
    {CanonDiscMedia, "DiscCompat", "レーベル印刷可能ディスク(推奨)"},
    {CanonOtherDiscMedia, "DiscOthers", "レーベル印刷可能ディスク(その他)"},
    {33, "CD", "CD/DVD"},
    {34, "CanonPhotoHagakiK", "写真用はがき K"},
    {35, "InkJetHagakiaddr", "インクジェットはがき(宛名面)"},
    {36, "InkjetPhotoHagakiK", "インクジェット写真用はがき K"},
    {37, "InkjetPhotoHagakiKaddr", "インクジェット写真用はがき K(宛名面)"},
    {38, "OtherPhotoHagakiO", "その他の写真用はがき O"},
    {39, "ProPhotoHagakiP", "プロ写真用はがき P"},
    {40, "Other", "その他"},
}};

struct TChoiceName {
    const char* option;
    const char* keyword;
    const char* name;
};

constexpr std::array<TChoiceName, 38> ChoiceNames{{
    {"StpQuality", "None", "詳細設定"},
    {"StpQuality", "FastEconomy", "高速エコノミー"},
    {"StpQuality", "Economy", "エコノミー"},
    {"StpQuality", "Draft", "ドラフト"},
    {"StpQuality", "Standard", "標準"},
    {"StpQuality", "High", "高品質"},
    {"StpQuality", "Photo", "写真"},
    {"StpQuality", "HighPhoto", "高画質写真"},
    {"StpQuality", "UltraPhoto", "超高画質写真"},
    {"StpQuality", "Best", "最高画質"},
    {"InputSlot", "Standard", "標準"},
    {"InputSlot", "Auto", "オートシートフィーダ"},
    {"InputSlot", "AutoThick", "オートシートフィーダ(厚紙)"},
    {"InputSlot", "AutoSwitch", "給紙箇所の自動切替"},
    {"InputSlot", "Manual", "手差し"},
    {"InputSlot", "ManualNP", "手差し(一時停止なし)"},
    {"InputSlot", "CD", "CD/DVDトレイ"},
    {"InputSlot", "Roll", "ロール紙"},
    {"InputSlot", "RollCutNone", "ロール紙(カットなし)"},
    {"InputSlot", "RollCutPage", "ロール紙(ページごとにカット)"},
    {"InputSlot", "SelectKey", "給紙切替ボタン"},
    {"InputSlot", "Rear", "後トレイ"},
    {"InputSlot", "Cassette", "カセット"},
    {"InputSlot", "Continuous", "連続給紙"},
    {"InputSlot", "Front", "前トレイ"},
    {"InputSlot", "UpperFront", "フォトトレイ"},
    {"InputSlot", "LowerFront", "メイントレイ"},
    {"InputSlot", "Matte", "手差し(前面)"},
    {"InputSlot", "Velvet", "手差しガイド"},
    {"InputSlot", "PhotoBoard", "フォトボード"},
    {"StpInkType", "None", "標準"},
    {"StpInkType", "CMYK", "カラー(4色)"},
    {"StpInkType", "CMYKk", "カラー(5色)"},
    {"StpInkType", "PhotoCMY", "フォトカラー(5色)"},
    {"StpInkType", "PhotoCMYK", "フォトカラー(6色)"},
    {"StpInkType", "RGB", "カラー(3色)"},
    {"StpInkType", "Gray", "ブラック"},
    {"StpInkType", "Gray2", "ブラック(2階調)"},
}};

constexpr std::array<const char*, 9> QualitiesBestFirst{
    "Best", "UltraPhoto", "HighPhoto", "Photo", "High", "Standard", "Draft", "Economy", "FastEconomy"};

template <size_t N>
const TMedia* FindMedia(const std::array<TMedia, N>& table, auto match)
{
    const auto found = std::find_if(table.begin(), table.end(), match);
    return found == table.end() ? nullptr : &*found;
}

const TMedia* MediaById(TVendor vendor, int id)
{
    auto match = [id](const TMedia& m) { return m.id == id; };
    return vendor == TVendor::Epson ? FindMedia(EpsonMedia, match) : FindMedia(CanonMedia, match);
}

const TMedia* MediaByKeyword(TVendor vendor, const QString& keyword)
{
    auto match = [&keyword](const TMedia& m) { return *m.keyword && keyword == QLatin1String(m.keyword); };
    return vendor == TVendor::Epson ? FindMedia(EpsonMedia, match) : FindMedia(CanonMedia, match);
}

}  // namespace

int MediaIdOf(TVendor vendor, const QString& keyword)
{
    const TMedia* media = MediaByKeyword(vendor, keyword);
    return media ? media->id : -1;
}

QString MediaKeywordOf(TVendor vendor, int id)
{
    const TMedia* media = MediaById(vendor, id);
    return media ? QString::fromLatin1(media->keyword) : QString();
}

QString MediaNameOf(TVendor vendor, int id, const QString& fallback)
{
    if (const TMedia* media = MediaById(vendor, id)) return QString::fromUtf8(media->name);
    return vendor == TVendor::Epson ? QStringLiteral("不明な用紙種類(%1)").arg(id) : fallback;
}

QString ChoiceName(const QString& option, const QString& keyword, const QString& fallback)
{
    for (const TChoiceName& entry : ChoiceNames)
        if (option == QLatin1String(entry.option) && keyword == QLatin1String(entry.keyword))
            return QString::fromUtf8(entry.name);
    return fallback;
}

int QualityRank(const QString& keyword)
{
    for (size_t i = 0; i < QualitiesBestFirst.size(); ++i)
        if (keyword == QLatin1String(QualitiesBestFirst[i])) return int(i) + 1;
    return 0;
}

}  // namespace kestrel
