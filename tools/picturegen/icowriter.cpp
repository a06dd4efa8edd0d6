#include "icowriter.h"

#include <algorithm>
#include <climits>
#include <map>
#include <vector>

namespace picturegen {

namespace {

// Pixels at least this opaque are drawn in the 256-colour image; the rest are masked.
constexpr int kMaskThreshold = 128;
constexpr int kPaletteSize = 256;
constexpr int kDirectoryHeaderBytes = 6;
constexpr int kDirectoryEntryBytes = 16;
constexpr int kBitmapHeaderBytes = 40;

void put8(QByteArray &out, int value)
{
    out.append(static_cast<char>(value & 0xff));
}

void put16(QByteArray &out, quint16 value)
{
    put8(out, value);
    put8(out, value >> 8);
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, static_cast<quint16>(value & 0xffff));
    put16(out, static_cast<quint16>(value >> 16));
}

// Bitmap rows are padded to whole 32-bit words.
int strideBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

void putBitmapHeader(QByteArray &out, int width, int height, int bitsPerPixel, int colours,
                     int pixelBytes)
{
    put32(out, kBitmapHeaderBytes);
    put32(out, static_cast<quint32>(width));
    // An icon's height counts the colour bitmap and the mask stacked together.
    put32(out, static_cast<quint32>(2 * height));
    put16(out, 1);
    put16(out, static_cast<quint16>(bitsPerPixel));
    put32(out, 0); // uncompressed
    put32(out, static_cast<quint32>(pixelBytes));
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<quint32>(colours));
    put32(out, 0);
}

// One bit per pixel, set where the screen shows through; rows bottom-up.
void putMask(QByteArray &out, const QImage &image, int threshold)
{
    const int stride = strideBytes(image.width(), 1);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) < threshold)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
}

QByteArray trueColourEntry(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    const int pixelBytes = w * h * 4 + strideBytes(w, 1) * h;
    QByteArray out;
    putBitmapHeader(out, w, h, 32, 0, pixelBytes);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            put8(out, qBlue(p));
            put8(out, qGreen(p));
            put8(out, qRed(p));
            put8(out, qAlpha(p));
        }
    }
    // Readers that honour alpha ignore the mask; the rest still get a usable shape.
    putMask(out, image, 1);
    return out;
}

struct Swatch
{
    QRgb colour;
    int count;
};

int channel(QRgb colour, int which)
{
    return which == 0 ? qRed(colour) : which == 1 ? qGreen(colour) : qBlue(colour);
}

// Median cut: split the box with the widest colour spread at its pixel-weighted
// median until there are enough boxes; each box becomes its average colour.
std::vector<QRgb> medianCut(std::vector<Swatch> swatches, int maxColours)
{
    std::vector<std::vector<Swatch>> boxes;
    boxes.push_back(std::move(swatches));
    while (static_cast<int>(boxes.size()) < maxColours) {
        int bestBox = -1;
        int bestChannel = 0;
        int bestSpread = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2)
                continue;
            for (int c = 0; c < 3; ++c) {
                const auto [lo, hi] = std::minmax_element(
                    boxes[i].begin(), boxes[i].end(), [c](const Swatch &a, const Swatch &b) {
                        return channel(a.colour, c) < channel(b.colour, c);
                    });
                const int spread = channel(hi->colour, c) - channel(lo->colour, c);
                if (spread > bestSpread) {
                    bestSpread = spread;
                    bestBox = static_cast<int>(i);
                    bestChannel = c;
                }
            }
        }
        if (bestBox < 0)
            break;
        std::vector<Swatch> &box = boxes[static_cast<std::size_t>(bestBox)];
        std::sort(box.begin(), box.end(), [bestChannel](const Swatch &a, const Swatch &b) {
            return channel(a.colour, bestChannel) < channel(b.colour, bestChannel);
        });
        int total = 0;
        for (const Swatch &s : box)
            total += s.count;
        std::size_t cut = 1;
        for (int seen = box.front().count; cut + 1 < box.size() && 2 * seen < total; ++cut)
            seen += box[cut].count;
        std::vector<Swatch> upper(box.begin() + static_cast<std::ptrdiff_t>(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }

    std::vector<QRgb> palette;
    for (const std::vector<Swatch> &box : boxes) {
        qint64 r = 0, g = 0, b = 0, n = 0;
        for (const Swatch &s : box) {
            r += qint64(qRed(s.colour)) * s.count;
            g += qint64(qGreen(s.colour)) * s.count;
            b += qint64(qBlue(s.colour)) * s.count;
            n += s.count;
        }
        palette.push_back(qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n)));
    }
    return palette;
}

int nearestIndex(const std::vector<QRgb> &palette, QRgb colour)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

QByteArray paletteEntry(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();

    // Entry 0 stays black for the masked pixels: black XOR the screen is the screen.
    std::map<QRgb, int> counts;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) >= kMaskThreshold)
                ++counts[p | 0xff000000u];
        }
    }
    std::vector<Swatch> swatches;
    for (const auto &[colour, count] : counts)
        swatches.push_back({colour, count});
    std::vector<QRgb> palette{qRgb(0, 0, 0)};
    for (QRgb colour : medianCut(std::move(swatches), kPaletteSize - 1))
        palette.push_back(colour);

    const int stride = strideBytes(w, 8);
    const int pixelBytes = stride * h + strideBytes(w, 1) * h;
    QByteArray out;
    putBitmapHeader(out, w, h, 8, kPaletteSize, pixelBytes);
    for (int i = 0; i < kPaletteSize; ++i) {
        const QRgb c = i < static_cast<int>(palette.size()) ? palette[std::size_t(i)] : 0;
        put8(out, qBlue(c));
        put8(out, qGreen(c));
        put8(out, qRed(c));
        put8(out, 0);
    }
    // The first palette slot is never a nearest match for a drawn pixel.
    const std::vector<QRgb> drawable(palette.begin() + 1, palette.end());
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) >= kMaskThreshold && !drawable.empty())
                row[x] = static_cast<char>(1 + nearestIndex(drawable, p));
        }
        out.append(row);
    }
    putMask(out, image, kMaskThreshold);
    return out;
}

} // namespace

QByteArray buildIco(const QList<QImage> &images)
{
    struct Entry
    {
        int size;
        int bitsPerPixel;
        QByteArray data;
    };
    std::vector<Entry> entries;
    for (int bits : {8, 32}) {
        for (const QImage &source : images) {
            const QImage image = source.convertToFormat(QImage::Format_ARGB32);
            entries.push_back(
                {image.width(), bits, bits == 8 ? paletteEntry(image) : trueColourEntry(image)});
        }
    }

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon, not cursor
    put16(out, static_cast<quint16>(entries.size()));
    quint32 offset = kDirectoryHeaderBytes + kDirectoryEntryBytes * quint32(entries.size());
    for (const Entry &e : entries) {
        put8(out, e.size);
        put8(out, e.size);
        put8(out, 0); // colour count: 0 also stands for 256 and for true colour
        put8(out, 0);
        put16(out, 1); // planes
        put16(out, static_cast<quint16>(e.bitsPerPixel));
        put32(out, static_cast<quint32>(e.data.size()));
        put32(out, offset);
        offset += static_cast<quint32>(e.data.size());
    }
    for (const Entry &e : entries)
        out.append(e.data);
    return out;
}

} // namespace picturegen
