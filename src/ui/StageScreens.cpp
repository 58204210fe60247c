#include "ui/MainWindow.h"

#include <QFileDialog>
#include <algorithm>

#include "app/AppFrame.h"
#include "edit/LayoutSession.h"
#include "edit/StageActions.h"
#include "label/DocumentFlows.h"
#include "label/LabelData.h"
#include "objects/PictureObject.h"
#include "render/DrawSite.h"
#include "ui/BulkEditDialog.h"
#include "ui/FaceView.h"
#include "ui/InputItemsPanel.h"
#include "ui/LayoutStage.h"
#include "ui/MenuStage.h"
#include "ui/MusicDiscDialogs.h"
#include "ui/ObjectCommands.h"
#include "ui/PictureBrowser.h"
#include "ui/PicturePropertiesDialog.h"
#include "ui/RetouchDialog.h"
#include "ui/SheetView.h"
#include "ui/StageHost.h"
#include "ui/TemplateStage.h"

// The stage screens of the main window and the commands their tools run.

namespace kestrel {

std::unique_ptr<QWidget> TfrmMain::CreateStageScreen(int stage)
{
    TLabelData& document = flows_->Document();
    const int face = std::max(document.CurrentLabelNo(), 0);
    if (stage == TStageHost::stMenu || stage == TStageHost::stTemplate) {
        faceView_->Flush();
        faceView_->Unload();
    } else {
        faceView_->Load(document, face);
    }
    switch (stage) {
    case TStageHost::stMenu: return CreateMenuStage();
    case TStageHost::stTemplate: return std::make_unique<TTemplateStage>(document, face);
    case TStageHost::stTextInput: return CreateTextInputStage(face);
    case TStageHost::stImage: return CreateImageStage();
    default: return std::make_unique<TLayoutStage>(*faceView_);
    }
}

std::unique_ptr<QWidget> TfrmMain::CreateImageStage()
{
    return std::make_unique<TFaceStepStage>(
        *faceView_, QStringLiteral("stages.html#image"),
        QList<TFaceStepStage::TTool>{
            {QStringLiteral("ファイル選択"), QStringLiteral("ファイルからイメージを置きます"),
             [this] { objectCommands_->Insert("TLOImage"); }},
            {QStringLiteral("一覧選択"), QStringLiteral("フォルダのイメージを一覧から選んで置きます"),
             [this] {
                 const QString file = TPictureBrowser::Choose(this);
                 if (!file.isEmpty()) faceView_->AddPictureFiles({file});
             }},
            {QStringLiteral("クリップボード"), QStringLiteral("クリップボードのイメージを置きます"),
             [this] { objectCommands_->Insert("TLOImagePaste"); }},
            {QStringLiteral("TWAIN"), QStringLiteral("スキャナーからイメージを取り込みます"),
             [this] { objectCommands_->Insert("TLOTwain"); }},
            {QStringLiteral("画像レタッチ..."), QStringLiteral("選んだイメージの明るさや向きを整えます"),
             [this] { RetouchPicture(); }}},
        TStageHost::stMenu, TStageHost::stTextInput);
}

// The input items beside the face, filled by hand, all at once, from a music CD, from the album
// list or from a folder of music; the face's picture can be changed on the way.
std::unique_ptr<QWidget> TfrmMain::CreateTextInputStage(int face)
{
    auto items = std::make_unique<TInputItemsPanel>([this] { return faceView_->Site(); }, face);
    TInputItemsPanel* shown = items.get();
    // The panel shows what the command wrote into the items.
    const auto reloading = [shown](std::function<void()> run) {
        return [shown, run = std::move(run)] {
            run();
            shown->Reload();
        };
    };
    auto stage = std::make_unique<TFaceStepStage>(
        *faceView_, QStringLiteral("stages.html#text"),
        QList<TFaceStepStage::TTool>{
            {QStringLiteral("音楽CD..."), QStringLiteral("音楽CDの曲名データで入力項目を埋めます"),
             reloading([this] { ImportMusicDisc(); })},
            {QStringLiteral("アルバム情報..."), QStringLiteral("アルバム情報から入力項目を埋めます"),
             reloading([this] { ShowAlbums(); })},
            {QStringLiteral("フォルダ..."), QStringLiteral("音楽ファイルのフォルダから入力項目を埋めます"),
             reloading([this] { AddMusicFolder(); })},
            {QStringLiteral("写真の変更..."), QStringLiteral("ラベルの写真を別のイメージに替えます"),
             [this] { ChangeFacePicture(); }},
            {QStringLiteral("一括編集"), QStringLiteral("入力項目をまとめて編集します"), reloading([this] { BulkEditItems(); })}},
        TStageHost::stTemplate, TStageHost::stLayout);
    stage->ShowAboveTools(std::move(items));
    return stage;
}

void TfrmMain::ImportMusicDisc()
{
    TfrmMusicDiscImport screen(false, this);
    if (screen.exec() != QDialog::Accepted) return;
    TAlbumInfo album;
    screen.TakeAlbum(album);
    if (FillFaceInputItems(album) == 0)
        TAppFrame::ShowOkMessage(QStringLiteral("音楽CDの曲名データを入れる入力項目がありません"), {});
}

void TfrmMain::ChangeFacePicture()
{
    TDrawSite* site = faceView_->Site();
    if (!site) return;
    TLOImage* picture = FirstPicture(*site);
    if (!picture) return objectCommands_->Insert("TLOImage");
    TPictureEx chosen;
    if (!ChoosePictureFile(this, chosen)) return;
    Guarded([&] { ReplacePicture(*picture, chosen); });
    UpdateCommands();
}

void TfrmMain::BulkEditItems()
{
    if (TDrawSite* site = faceView_->Site()) Guarded([&] { TBulkEditDialog::Run(this, *site, faceView_->Face()); });
    UpdateCommands();
}

void TfrmMain::RetouchPicture()
{
    if (TDrawSite* site = faceView_->Site()) Guarded([&] { TRetouchDialog::Run(this, *site); });
    UpdateCommands();
}

// "複数画像": picture files the user picks, in a grid on the face; files that cannot be read are
// reported and left out.
void TfrmMain::AddPictureGrid()
{
    TDrawSite* site = faceView_->Site();
    if (!site) return;
    const QStringList files = ChoosePicturePaths(this, QStringLiteral("複数画像"), true);
    std::vector<std::unique_ptr<TLOImage>> pictures;
    for (const QString& file : files) {
        auto picture = std::make_unique<TLOImage>();
        if (LoadPictureFile(picture->ImageData().Picture(), file)) pictures.push_back(std::move(picture));
    }
    if (pictures.empty()) return;
    Guarded([&] { PlacePicturesInGrid(*site, flows_->Document().Face(faceView_->Face()), std::move(pictures)); });
    UpdateCommands();
}

void TfrmMain::AddMusicFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, "音楽ファイルのフォルダ");
    if (!folder.isEmpty()) AddMusicAlbum({folder});
}

std::unique_ptr<QWidget> TfrmMain::CreateMenuStage()
{
    TLabelData& document = flows_->Document();
    TMenuStageCommands commands;
    commands.choosePaper = [this](const QString& keyword) { ChoosePaper(keyword); };
    commands.designFace = [this](int face, int next) {
        flows_->Document().SetCurrentLabelNo(face);
        ChangeStage(next);
    };
    commands.open = [this] { OpenFromDialog(); };
    commands.print = [this] { PrintSheet(); };
    commands.exit = [this] { close(); };
    auto menu = std::make_unique<TMenuStage>(document, session_->History(), std::move(commands));
    menu->Faces().onSheetChosen = [this](int sheet) { flows_->Document().SelectSheet(sheet); };
    return menu;
}


}  // namespace kestrel
