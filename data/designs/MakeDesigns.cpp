// Draws the shipped designs into the "Data" folder beside the programs.
// Usage: make_designs PROGRAM_FOLDER SOURCE...
// The sources of this generator are hashed; when the folder already holds the designs of the
// same sources nothing is drawn again.

#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "Designs.h"
#include "platform/Cp932.h"

namespace kestrel::designs {

namespace {

const QString HashFile = QStringLiteral("Data/.designs-hash");
const QStringList Parts = {QStringLiteral("Data/BackGrnd"), QStringLiteral("Data/Font"), QStringLiteral("Data/Illust")};

QByteArray SourcesHash(const QStringList& sources)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& source : sources) {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly)) throw EDesignFailed{QStringLiteral("cannot read ") + source};
        hash.addData(file.readAll());
    }
    return hash.result().toHex();
}

}  // namespace

void WriteDataFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw EDesignFailed{QStringLiteral("cannot write ") + path};
}

void WriteIniFile(const QString& path, const QStringList& lines)
{
    WriteDataFile(path, ToCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

QString ColorText(QColor colour)
{
    const int value = (colour.blue() << 16) | (colour.green() << 8) | colour.red();
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 6, 16, QLatin1Char('0')).toUpper();
}

double TRandom::Next()
{
    // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return double((state_ * 0x2545F4914F6CDD1DULL) >> 11) / double(1ULL << 53);
}

QImage ShadePixels(QSize size, int samples, const std::function<QColor(double x, double y)>& colour)
{
    QImage image(size, QImage::Format_RGB32);
    const double step = 1.0 / samples;
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const QColor c = colour(x + (sx + 0.5) * step, y + (sy + 0.5) * step);
                    r += c.red(), g += c.green(), b += c.blue();
                }
            const int n = samples * samples;
            row[x] = qRgb((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
        }
    }
    return image;
}

}  // namespace kestrel::designs

int main(int argc, char** argv)
{
    using namespace kestrel::designs;
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: make_designs PROGRAM_FOLDER SOURCE...\n");
        return 2;
    }
    try {
        const QDir program(arguments[1]);
        const QByteArray hash = SourcesHash(arguments.mid(2));
        QFile stamp(program.filePath(HashFile));
        if (stamp.open(QIODevice::ReadOnly) && stamp.readAll() == hash) return 0;
        stamp.close();
        for (const QString& part : Parts) QDir(program.filePath(part)).removeRecursively();
        MakeBackgrounds(program);
        MakeDecoratedLetters(program);
        MakeIllustrations(program);
        WriteDataFile(program.filePath(HashFile), hash);
        return 0;
    } catch (const EDesignFailed& e) {
        std::fprintf(stderr, "make_designs: %s\n", qPrintable(e.message));
        return 1;
    }
}
