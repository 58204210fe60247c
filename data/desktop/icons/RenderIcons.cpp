// Renders our SVG icons into the PNG sizes of the hicolor theme.
// Usage: render_icons OUTPUT_FOLDER CONTEXT ICON.svg... (writes OUTPUT_FOLDER/NxN/CONTEXT/ICON.png)

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

constexpr int Sizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

bool RenderIcon(const QString& svg, const QString& outputFolder, const QString& context)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(svg));
        return false;
    }
    const QString name = QFileInfo(svg).completeBaseName() + ".png";
    for (const int size : Sizes) {
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/%3").arg(outputFolder).arg(size).arg(context);
        if (!QDir().mkpath(folder) || !icon.save(folder + '/' + name, "PNG")) {
            std::fprintf(stderr, "cannot write %s/%s\n", qPrintable(folder), qPrintable(name));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: render_icons OUTPUT_FOLDER CONTEXT ICON.svg...\n");
        return 2;
    }
    for (const QString& svg : arguments.mid(3))
        if (!RenderIcon(svg, arguments[1], arguments[2])) return 1;
    return 0;
}
