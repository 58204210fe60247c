#include <gtest/gtest.h>

#include <QImage>

#include "CliRun.h"
#include "cli/DocumentCommands.h"
#include "document/DOList.h"
#include "label/LabelDocumentFixtures.h"
#include "objects/PictureObject.h"
#include "platform/PictureCodecs.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// A picture on the first face: rendered where it lies, and its JPEG bytes kept through save and
// reopen.
TEST(PictureRender, PicturesRenderAndKeepTheirFileBytesInDocuments)
{
    const QString file = test::TestFolder() + "/picture.mld", png = test::TestFolder() + "/face.png";
    QImage photo(40, 40, QImage::Format_RGB32);
    photo.fill(qRgb(0, 200, 0));
    const QByteArray jpeg = EncodeJpeg(photo, 95);
    {
        TLabelData document;
        document.SetPaper(*test::TwoDiscPaper());
        TLOImage image;
        image.ImageData().Picture().SetGraphic(TGraphic(TGraphicClass::gcJpeg, jpeg));
        image.SetBounds({200, 200, 600, 600});
        TDOList list;
        list.Add(image);
        document.SaveFaceObjects(0, list);
        document.SaveToFile(file);
    }
    TLabelData reopened;
    reopened.LoadFromFile(file);
    TDOList list;
    reopened.LoadFaceObjects(0, list);
    ASSERT_EQ(list.Count(), 1);
    const auto* image = dynamic_cast<const TLOImage*>(&list.Item(0));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->ImageData().Picture().Graphic().Bytes(), jpeg);

    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ASSERT_EQ(RunRenderCommand({file, "--face", "1", "--dpi", "254", "--out", png}, out, err), 0) << errText.toStdString();
    const QImage face(png);
    const QRgb inside = face.pixel(400, 400);
    EXPECT_LE(std::abs(qGreen(inside) - 200), 3);
    EXPECT_LE(qRed(inside), 3);
    EXPECT_EQ(face.pixel(700, 400), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kestrel
