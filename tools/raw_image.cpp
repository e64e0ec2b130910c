// Build step: a PNG as raw pixels (width and height as 32-bit little-endian
// numbers, then RGB bytes), so that the editor shows its pictures without
// loading any image decoder at start-up.
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
    image = image.convertToFormat(QImage::Format_RGB888);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    auto u32 = [](quint32 v) {
        const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        return QByteArray(bytes, 4);
    };
    QByteArray bytes = u32(quint32(image.width())) + u32(quint32(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), qsizetype(image.width()) * 3);
    }
    return out.write(bytes) == bytes.size() && out.flush() ? 0 : 1;
}
