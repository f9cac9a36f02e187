#include "catalogo.h"

#include <QtEndian>

namespace catalogo {

QByteArray makeBmp(int width, int height, quint32 seed)
{
    const int rowBytes = (width * 3 + 3) & ~3; // rows are padded to four bytes
    const int pixelBytes = rowBytes * height;
    QByteArray b(54 + pixelBytes, '\0');
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, quint32(b.size()));
    put32(10, 54);        // pixel data offset
    put32(14, 40);        // BITMAPINFOHEADER
    put32(18, quint32(width));
    put32(22, quint32(height));
    put16(26, 1);         // planes
    put16(28, 24);        // bits per pixel
    put32(34, quint32(pixelBytes));
    put32(38, 2835);      // 72 dpi
    put32(42, 2835);
    const int r0 = int(seed % 256), g0 = int((seed / 256) % 256), b0 = int((seed / 65536) % 256);
    for (int y = 0; y < height; ++y) {
        char *row = b.data() + 54 + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = char((b0 + x * 4) % 256);
            row[x * 3 + 1] = char((g0 + y * 4) % 256);
            row[x * 3 + 2] = char((r0 + (x + y) * 2) % 256);
        }
    }
    return b;
}

} // namespace catalogo
