#pragma once

class QWidget;

namespace kestrel {

class TLOImage;

// The illustration library by genre, with "色の変更" for genres drawn in one colour: the chosen
// illustration becomes the image's one-point picture. False when the user cancelled.
bool ChooseIllustration(QWidget* parent, TLOImage& image);

}  // namespace kestrel
