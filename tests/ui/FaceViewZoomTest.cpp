// "自動": the face fitted in the view, following the view's size; the levels go on from there.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>

#include "app/AppFrame.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/FaceView.h"
#include "ui/MainWindow.h"
#include "ui/SiteView.h"

namespace kestrel {
namespace {

TEST(FaceViewZoom, AutomaticZoomFitsTheFaceAndFollowsTheViewsSize)
{
    TAppFrame frame;
    QStringList messages;
    test::RecordMessages(frame, messages);
    TLabelData document;
    document.SetPaper(*test::TwoDiscPaper());
    const QString path = test::TestFolder() + "/zoom.mld";
    document.SaveToFile(path);
    TfrmMain window(frame, nullptr, nullptr);
    window.resize(1000, 900);
    ASSERT_TRUE(window.OpenDocument(path));
    ASSERT_TRUE(window.EditFace(0));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TFaceView& view = window.FaceView();
    const auto fits = [&view] {
        const QSize face = view.View()->Surface().size();
        const QSize room = view.View()->viewport()->size();
        // Fits, and no smaller than needed: one more percent would not.
        const double grown = (view.Zoom() + 1.0) / view.Zoom();
        return face.width() <= room.width() && face.height() <= room.height() &&
               (face.width() * grown > room.width() - 16 || face.height() * grown > room.height() - 16);
    };

    view.SetAutoZoom();
    EXPECT_EQ(view.findChild<QComboBox*>("ZoomBox")->currentText(), "自動");
    const int large = view.Zoom();
    EXPECT_TRUE(fits()) << large;

    window.resize(600, 500);
    QTest::qWait(50);
    EXPECT_TRUE(view.IsAutoZoom());
    EXPECT_LT(view.Zoom(), large);
    EXPECT_TRUE(fits()) << view.Zoom();

    // Another face of the same size opens fitted too.
    const int fitted = view.Zoom();
    ASSERT_TRUE(window.EditFace(1));
    QTest::qWait(50);
    EXPECT_EQ(window.FaceView().Zoom(), fitted);

    // The levels go on from the fitted percentage: the next one above, the one below.
    const int* above = std::upper_bound(std::begin(TFaceView::ZoomLevels), std::end(TFaceView::ZoomLevels), fitted);
    ASSERT_NE(above, std::end(TFaceView::ZoomLevels));
    view.ZoomIn();
    EXPECT_FALSE(view.IsAutoZoom());
    EXPECT_EQ(view.Zoom(), *above);
    view.SetAutoZoom();
    view.ZoomOut();
    EXPECT_LT(view.Zoom(), fitted);
    EXPECT_TRUE(messages.isEmpty());
}

}  // namespace
}  // namespace kestrel
