#pragma once

// Records small enhanced metafiles of our own: filled rectangles and lines of text, in pixels
// at 96 dots per inch, played back by the metafile player like any other.

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "platform/Canvas.h"

namespace kestrel {

class TEmfWriter {
public:
    explicit TEmfWriter(QSize size);

    void FillRect(const QRect& rect, TColor colour);
    // One line of text in the font (its size in pixels, its colour), its top edge centred on
    // the point, on a clear ground.
    void CentredText(QPoint topCentre, const QString& text, const TFont& font);
    // The whole metafile: header, the records so far and the end record.
    QByteArray Bytes() const;

private:
    void Record(uint32_t type, const QByteArray& parameters);
    uint32_t CreateObject(uint32_t type, const QByteArray& parameters);

    QSize size_;
    QByteArray records_;
    uint32_t recordCount_ = 0;
    uint32_t handleCount_ = 1;  // handle 0 is the metafile itself
};

// The pixels the text takes in the font (its size in pixels), as the metafile player draws it.
QSize MetafileTextExtent(const QString& text, const TFont& font);

}  // namespace kestrel
