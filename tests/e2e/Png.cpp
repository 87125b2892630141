// PNG writing without a compression library: the image data goes into
// stored (uncompressed) deflate blocks, which every PNG reader takes.
#include "Png.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace e2e {

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0)
{
    static uint32_t table[256];
    if (table[1] == 0) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const Bytes& data)
{
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBig32(Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(Bytes& out, const char* type, const Bytes& data)
{
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(&out[start], out.size() - start));
}

// A zlib stream of stored blocks, 65535 bytes at most each.
Bytes Stored(const Bytes& raw)
{
    Bytes out = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(raw.size() - pos, 65535);
        out.push_back(pos + n == raw.size() ? 1 : 0); // the last block's mark
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                   raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    PutBig32(out, Adler32(raw));
    return out;
}

} // namespace

void SavePng(const CImage& image, const std::string& strPath)
{
    Bytes header;
    PutBig32(header, static_cast<uint32_t>(image.width));
    PutBig32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace

    Bytes raw; // each row: filter type 0, then red, green, blue per pixel
    raw.reserve(static_cast<size_t>(image.height) * (1 + 3 * image.width));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x) {
            const COLORREF pixel = image.pixels[static_cast<size_t>(y) * image.width + x];
            raw.insert(raw.end(), {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
        }
    }

    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", Stored(raw));
    PutChunk(file, "IEND", Bytes());

    std::ofstream out(strPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out)
        throw std::runtime_error("cannot write " + strPath);
}

} // namespace e2e
