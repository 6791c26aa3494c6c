#include "IconImage.h"

#include <cstring>

namespace {

const BYTE kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

LONG BigEndian(const BYTE* p) {
    return static_cast<LONG>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

} // namespace

IconImageShape ShapeOfIconImage(const void* image, DWORD bytes) {
    const BYTE* data = static_cast<const BYTE*>(image);
    if (bytes < 8 + 8 + 13 || std::memcmp(data, kPngSignature, sizeof kPngSignature) != 0) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(image);
        return {header->biWidth, header->biHeight / 2, header->biBitCount, false};
    }
    // The first chunk is the header: big-endian width and height, bit depth and
    // colour type (6: red, green, blue and alpha; 3: indexes into a palette).
    const BYTE* header = data + 8 + 8;
    const WORD depth = header[8];
    const WORD bits = header[9] == 6 ? 4 * depth : header[9] == 3 ? depth : 0;
    return {BigEndian(header), BigEndian(header + 4), bits, true};
}
