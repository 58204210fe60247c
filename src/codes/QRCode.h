#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

#include "codes/ArrayData.h"
#include "platform/Geometry.h"

namespace kestrel {

class TCanvas;

// Why an encoding gave no symbol.
enum class TQRProblem { qpNone, qpTooLong, qpTooLongForVersion };

// Encodes a byte string as a QR Code model 2 symbol in one segment and renders it one pixel per
// module with a light margin. Settings take only valid values; any effective change of a setting
// or of the data re-encodes at the next Draw or Encode.
class TQRCode {
public:
    TQRCode();
    ~TQRCode();
    TQRCode(const TQRCode& source);
    TQRCode& operator=(const TQRCode& source);

    const QByteArray& Data() const { return data_; }
    // Replaces the data bytes and marks the symbol for encoding.
    void SetData(const QByteArray& data);

    // '0' numeric, 'A' alphanumeric, '8' 8-bit: the mode the data is encoded in. That is the
    // data's own with the automatic choice, and 8-bit when the data does not fit a fixed mode.
    char EncodeMode() const;
    void SetEncodeMode(char mode);
    bool AutoEncodeMode() const { return autoMode_; }
    void SetAutoEncodeMode(bool value);
    // With the automatic choice, the smallest version that holds the data (the stored one when
    // none does).
    int Version() const;
    void SetVersion(int version);
    bool AutoVersion() const { return autoVersion_; }
    void SetAutoVersion(bool value);
    char ErrorCorrectLevel() const { return level_; }
    void SetErrorCorrectLevel(char level);
    int MaskNo() const { return mask_; }
    void SetMaskNo(int mask);
    bool AutoMask() const { return autoMask_; }
    void SetAutoMask(bool value);
    int Margin() const { return margin_; }
    void SetMargin(int modules);

    bool Dirty() const { return dirty_; }
    // Encodes when dirty; false when the data gives no symbol (see Problem).
    bool Encode();
    TQRProblem Problem() const;
    // The user's message for the problem; empty when there is none.
    QString ProblemMessage() const;

    // The last encoded symbol, side + 2 × margin pixels square; null when there is none.
    const QImage& Symbol() const { return symbol_; }
    int Side() const { return side_; }
    bool IsDark(int column, int row) const;
    // Encodes when dirty and stretches the symbol onto the rectangle; nothing without a symbol.
    void Draw(TCanvas& canvas, const TRect& rect);

    void Assign(const TQRCode& source) { *this = source; }

private:
    struct TAnalysis {
        char mode = '8';
        int version = 0;  // 0: nothing fits
        int baseBits = 0; // stream length with the count field at its base width
    };
    const TAnalysis& Analysis() const;
    void MarkDirty();
    void BuildSegment(const TAnalysis& analysis);
    QByteArray DataCodewords(int dataCodewords);
    QByteArray FinalCodewords(int version, int levelIndex);
    void Render();

    QByteArray data_;
    char mode_ = '8';
    bool autoMode_ = true;
    int version_ = 1;
    bool autoVersion_ = true;
    char level_ = 'M';
    int mask_ = 0;
    bool autoMask_ = true;
    int margin_ = 4;
    bool dirty_ = true;

    mutable std::optional<TAnalysis> analysis_;
    // Working state of the last encoding.
    TIntArray values_;
    TIntArray lengths_;
    int streamBits_ = 0;
    std::vector<uint8_t> modules_;  // column by column
    int side_ = 0;
    QImage symbol_;
};

int QRLevelIndex(char level);
// The mode the automatic choice takes for the data.
char QRModeOf(QByteArrayView data);
// Whether every byte of the data can be coded in the mode.
bool QRFitsMode(QByteArrayView data, char mode);

}  // namespace kestrel
