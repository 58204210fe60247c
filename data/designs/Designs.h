#pragma once

// The ready-made designs the program ships, drawn by our own generator: backgrounds,
// decorated-letter fonts and illustrations. Each part writes its folder below "Data" of the
// program's folder, with the index files the program reads.

#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace kestrel::designs {

// The generator's own failure: the build stops with the message.
struct EDesignFailed {
    QString message;
};

// Writes the bytes, creating the folder first.
void WriteDataFile(const QString& path, const QByteArray& bytes);
// Lines in code page 932 with CR LF endings, as the program's INI files are kept.
void WriteIniFile(const QString& path, const QStringList& lines);
// A 0x00BBGGRR number as the index files write colours.
QString ColorText(QColor colour);

// A small deterministic generator, so every build draws the same pictures.
class TRandom {
public:
    explicit TRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
    // In [0, 1).
    double Next();
    double Between(double low, double high) { return low + (high - low) * Next(); }

private:
    uint64_t state_;
};

// A picture whose pixel (x, y) takes the average colour of colour(x, y) at samples × samples
// points inside it, for smooth edges of patterns given as functions of the position.
QImage ShadePixels(QSize size, int samples, const std::function<QColor(double x, double y)>& colour);

void MakeBackgrounds(const QDir& program);
void MakeDecoratedLetters(const QDir& program);
void MakeIllustrations(const QDir& program);

}  // namespace kestrel::designs
