#pragma once

class QWidget;

namespace kestrel {

class TDrawObject;

// The background of a face ("背景柄"): a picture of the library by genre and sub-genre (with
// their IDs), or any fill, the frame band along the face's edge and the blend picture, with a
// live preview. False when the user cancelled.
bool EditBackground(QWidget* parent, TDrawObject& object);

}  // namespace kestrel
