// Build step: a PNG as raw pixels (width and height as 32-bit little-endian
// numbers, then each pixel as a 32-bit little-endian 0xFFRRGGBB, as the
// little-endian machines Kestrane is built for hold Qt's pixels), so that the
// editor shows its pictures without loading any image decoder at start-up,
// and draws them from where they lie in the program, in the form it paints.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUT.png OUTPUT.raw\n", argv[0]);
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "could not read %s\n", argv[1]);
        return 1;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    auto u32 = [](quint32 v) {
        const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        return QByteArray(bytes, 4);
    };
    QByteArray bytes = u32(quint32(image.width())) + u32(quint32(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) bytes += u32(line[x]);
    }
    return out.write(bytes) == bytes.size() && out.flush() ? 0 : 1;
}
