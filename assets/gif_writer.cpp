#include "gif_writer.h"

#include <QHash>

#include <algorithm>
#include <climits>
#include <vector>

namespace assetgen {

namespace {

constexpr int kTransparentIndex = 255;
constexpr int kMaxColours = 255;

struct Entry {
    QRgb colour;
    int count;
};

// Median cut over the distinct colours, weighted by their pixel counts.
std::vector<QRgb> medianCut(std::vector<Entry> entries)
{
    struct Box {
        size_t begin, end;
    };
    auto channel = [](QRgb c, int k) { return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c); };
    auto widest = [&](const Box &b, int *range) {
        int best = 0;
        *range = -1;
        for (int k = 0; k < 3; ++k) {
            int lo = 255, hi = 0;
            for (size_t i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, channel(entries[i].colour, k));
                hi = std::max(hi, channel(entries[i].colour, k));
            }
            if (hi - lo > *range) {
                *range = hi - lo;
                best = k;
            }
        }
        return best;
    };
    std::vector<Box> boxes{{0, entries.size()}};
    while (static_cast<int>(boxes.size()) < kMaxColours) {
        // Split the box with the largest colour range (weighted by how many pixels it holds).
        long bestScore = 0;
        size_t bestBox = boxes.size();
        int bestChannel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2)
                continue;
            int range = 0;
            const int k = widest(boxes[i], &range);
            long pixels = 0;
            for (size_t j = boxes[i].begin; j < boxes[i].end; ++j)
                pixels += entries[j].count;
            const long score = static_cast<long>(range) * (1 + pixels / 64);
            if (range > 0 && score > bestScore) {
                bestScore = score;
                bestBox = i;
                bestChannel = k;
            }
        }
        if (bestBox == boxes.size())
            break;
        Box b = boxes[bestBox];
        std::sort(entries.begin() + static_cast<long>(b.begin), entries.begin() + static_cast<long>(b.end),
                  [&](const Entry &x, const Entry &y) { return channel(x.colour, bestChannel) < channel(y.colour, bestChannel); });
        long total = 0;
        for (size_t j = b.begin; j < b.end; ++j)
            total += entries[j].count;
        long half = 0;
        size_t cut = b.begin + 1;
        for (size_t j = b.begin; j < b.end - 1; ++j) {
            half += entries[j].count;
            cut = j + 1;
            if (half * 2 >= total)
                break;
        }
        boxes[bestBox] = {b.begin, cut};
        boxes.push_back({cut, b.end});
    }
    std::vector<QRgb> palette;
    for (const Box &b : boxes) {
        long r = 0, g = 0, bl = 0, n = 0;
        for (size_t j = b.begin; j < b.end; ++j) {
            r += long(qRed(entries[j].colour)) * entries[j].count;
            g += long(qGreen(entries[j].colour)) * entries[j].count;
            bl += long(qBlue(entries[j].colour)) * entries[j].count;
            n += entries[j].count;
        }
        if (n > 0)
            palette.push_back(qRgb(int(r / n), int(g / n), int(bl / n)));
    }
    return palette;
}

// Variable-length LZW codes packed little-end first into 255-byte sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray &out) : m_out(out) {}
    void put(int code, int bits)
    {
        m_buffer |= static_cast<quint32>(code) << m_bits;
        m_bits += bits;
        while (m_bits >= 8) {
            byte(static_cast<char>(m_buffer & 0xff));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    void finish()
    {
        if (m_bits > 0)
            byte(static_cast<char>(m_buffer & 0xff));
        flushBlock();
        m_out.append('\0');
    }

private:
    void byte(char c)
    {
        m_block.append(c);
        if (m_block.size() == 255)
            flushBlock();
    }
    void flushBlock()
    {
        if (m_block.isEmpty())
            return;
        m_out.append(static_cast<char>(m_block.size()));
        m_out.append(m_block);
        m_block.clear();
    }
    QByteArray &m_out;
    QByteArray m_block;
    quint32 m_buffer = 0;
    int m_bits = 0;
};

void lzw(const std::vector<quint8> &indices, QByteArray &out)
{
    constexpr int minCodeSize = 8;
    constexpr int clearCode = 1 << minCodeSize;
    constexpr int endCode = clearCode + 1;
    out.append(static_cast<char>(minCodeSize));
    CodeWriter writer(out);
    // Dictionary: (prefix code, next byte) -> code; -1 where none.
    std::vector<int> table(4096 * 256, -1);
    int next = endCode + 1;
    int bits = minCodeSize + 1;
    // The code width grows after a code is written once the table has reached the current limit, as the
    // classic encoder that GIF decoders follow does.
    auto emitCode = [&](int code) {
        writer.put(code, bits);
        if (next >= (1 << bits) && bits < 12)
            ++bits;
    };
    writer.put(clearCode, bits);
    int prefix = -1;
    for (quint8 k : indices) {
        if (prefix < 0) {
            prefix = k;
            continue;
        }
        const int joined = table[static_cast<size_t>(prefix) * 256 + k];
        if (joined >= 0) {
            prefix = joined;
            continue;
        }
        emitCode(prefix);
        if (next < 4096) {
            table[static_cast<size_t>(prefix) * 256 + k] = next++;
        } else {
            writer.put(clearCode, bits);
            std::fill(table.begin(), table.end(), -1);
            next = endCode + 1;
            bits = minCodeSize + 1;
        }
        prefix = k;
    }
    if (prefix >= 0)
        emitCode(prefix);
    writer.put(endCode, bits);
    writer.finish();
}

void le16(QByteArray &out, int v)
{
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>((v >> 8) & 0xff));
}

} // namespace

QByteArray encodeGif(const QImage &source, const QColor &matte)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    std::vector<QRgb> flat(static_cast<size_t>(w) * static_cast<size_t>(h));
    std::vector<bool> clear(flat.size(), false);
    QHash<QRgb, int> counts;
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x];
            const size_t i = static_cast<size_t>(y) * w + x;
            const int a = qAlpha(c);
            if (a < 128) {
                clear[i] = true;
                continue;
            }
            auto mix = [&](int fg, int bg) { return (fg * a + bg * (255 - a)) / 255; };
            flat[i] = qRgb(mix(qRed(c), matte.red()), mix(qGreen(c), matte.green()), mix(qBlue(c), matte.blue()));
            ++counts[flat[i]];
        }
    }
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(counts.size()));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        entries.push_back({it.key(), it.value()});
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.colour < b.colour; });
    std::vector<QRgb> palette = entries.empty() ? std::vector<QRgb>{matte.rgb()} : medianCut(entries);

    QHash<QRgb, quint8> nearest;
    std::vector<quint8> indices(flat.size(), kTransparentIndex);
    for (size_t i = 0; i < flat.size(); ++i) {
        if (clear[i])
            continue;
        auto found = nearest.constFind(flat[i]);
        if (found == nearest.constEnd()) {
            int best = 0;
            int bestDistance = INT_MAX;
            for (size_t k = 0; k < palette.size(); ++k) {
                const int dr = qRed(flat[i]) - qRed(palette[k]);
                const int dg = qGreen(flat[i]) - qGreen(palette[k]);
                const int db = qBlue(flat[i]) - qBlue(palette[k]);
                const int d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = static_cast<int>(k);
                }
            }
            found = nearest.insert(flat[i], static_cast<quint8>(best));
        }
        indices[i] = found.value();
    }

    QByteArray out("GIF89a");
    le16(out, w);
    le16(out, h);
    out.append(static_cast<char>(0xF7)); // global colour table of 256 entries
    out.append(static_cast<char>(kTransparentIndex));
    out.append('\0');
    for (int k = 0; k < 256; ++k) {
        const QRgb c = k < static_cast<int>(palette.size()) ? palette[static_cast<size_t>(k)] : matte.rgb();
        out.append(static_cast<char>(qRed(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qBlue(c)));
    }
    // Graphic control extension: no delay, transparent colour index.
    out.append("\x21\xF9\x04\x01\x00\x00", 6);
    out.append(static_cast<char>(kTransparentIndex));
    out.append('\0');
    out.append(static_cast<char>(0x2C));
    le16(out, 0);
    le16(out, 0);
    le16(out, w);
    le16(out, h);
    out.append('\0');
    lzw(indices, out);
    out.append(static_cast<char>(0x3B));
    return out;
}

} // namespace assetgen
