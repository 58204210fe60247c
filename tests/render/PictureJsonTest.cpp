#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "document/stream/ClassRegistry.h"
#include "document/stream/JsonCodec.h"
#include "render/ColorSpecHistory.h"
#include "render/PictureEx.h"

namespace kestrel {
namespace {

TEST(PictureJson, APictureFillComesFromAFileNamedInTheScene)
{
    RegisterPictureFileRecord();
    QTemporaryDir folder;
    QImage photo(3, 2, QImage::Format_RGB32);
    photo.fill(Qt::red);
    ASSERT_TRUE(photo.save(folder.filePath("photo.png")));
    QFile(folder.filePath("not-a-picture.jpg")).open(QIODevice::WriteOnly);

    TClassRegistry registry;
    registry.Register(TColorSpecWrapper::StaticClass());
    TJsonReadOptions options;
    options.registry = &registry;
    options.baseDir = QDir(folder.path());
    const auto scene = [](const char* file) {
        const QJsonObject data{{"Data", QJsonObject{{"file", file}}}};
        return QJsonObject{{"class", "TColorSpecWrapper"},
                           {"properties", QJsonObject{{"ColorSpec", QJsonObject{{"ImageData", QJsonObject{{"Picture", data}}}}}}}};
    };
    auto read = ObjectFromJson(scene("photo.png"), {}, options);
    EXPECT_EQ(static_cast<TColorSpecWrapper&>(*read).ColorSpec().Picture().size(), QSize(3, 2));
    // Written back, the picture is a base64 record like any other.
    EXPECT_TRUE(ObjectToJson(*read).value("properties").toObject().value("ColorSpec").toObject().contains("ImageData"));

    try {
        ObjectFromJson(scene("not-a-picture.jpg"), {}, options);
        ADD_FAILURE();
    } catch (const EJsonError& e) {
        EXPECT_EQ(e.Message(), "properties.ColorSpec.ImageData.Picture.Data: 画像として読めないファイルです");
    }
}

}  // namespace
}  // namespace kestrel
