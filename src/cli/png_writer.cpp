// WritePng and the label pictures' writers: the image encoded by libpng in
// memory, then written through the atomic-write helper, so that a failed
// write leaves no file behind.
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstddef>
#include <new>
#include <vector>

#include "cli/figure_render.h"
#include "formats/atomic_file.h"
#include "text/list_order.h"

namespace cli {
namespace {

// libpng reports errors by calling these; an error ends the encoding at the
// setjmp in EncodePng, and nothing is printed.
[[noreturn]] void StopEncoding(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    bool full = false;
    try {
        bytes->insert(bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        full = true;
    }
    if (full) png_error(png, "out of memory");  // outside the try: it jumps
}

void FlushNothing(png_structp) {}

// Fast: rendered pictures are mostly rows of background, which the "up"
// filter turns into zeros, and deflate's run-length mode finds those runs
// (and the figure's even shading) at a fraction of the cost of searching
// for matches, for files a few per cent larger. Small: every filter tried
// on every row and deflate's longest search.
void ApplyCompression(png_structp png, PngCompression compression) {
    if (compression == PngCompression::Fast) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_compression_level(png, 1);
        png_set_compression_strategy(png, Z_RLE);
    } else {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
        png_set_compression_level(png, Z_BEST_COMPRESSION);
        png_set_compression_strategy(png, Z_FILTERED);
    }
}

// What one PNG holds: its size, its kind (8-bit RGB, 8-bit grey or 16-bit
// grey) and its rows from the top, already in the file's byte order.
struct PngImage {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    std::size_t rowBytes = 0;
    const unsigned char* rows = nullptr;
};

// No object with a destructor lives in this function, so that libpng's
// longjmp back to it skips none.
bool EncodePng(const PngImage& image, PngCompression compression, std::vector<unsigned char>& bytes) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, StopEncoding, IgnoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &bytes, AppendBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                 image.bitDepth, image.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    ApplyCompression(png, compression);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        png_write_row(png, image.rows + static_cast<std::size_t>(y) * image.rowBytes);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Encodes, then writes through a temporary file beside `path`.
bool WriteImage(const PngImage& image, const std::string& path, PngCompression compression) {
    std::vector<unsigned char> bytes;
    if (!EncodePng(image, compression, bytes)) return false;
    formats::AtomicFile file(path);
    if (!file.Open()) {
        return false;
    }
    file.Write(bytes.data(), bytes.size());
    return file.Commit();
}

bool HasPixels(int width, int height, std::size_t values, std::size_t perPixel) {
    return width >= 1 && height >= 1 &&
           values == perPixel * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

bool ParsePngCompression(const std::string& text, PngCompression& compression) {
    if (text::CompareIgnoringCase(text, "fast") == 0) {
        compression = PngCompression::Fast;
    } else if (text::CompareIgnoringCase(text, "small") == 0) {
        compression = PngCompression::Small;
    } else {
        return false;
    }
    return true;
}

bool WritePng(const Picture& picture, const std::string& path, PngCompression compression) {
    if (!HasPixels(picture.width, picture.height, picture.rgb.size(), 3)) {
        return false;
    }
    const PngImage image{picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB,
                         3 * static_cast<std::size_t>(picture.width), picture.rgb.data()};
    return WriteImage(image, path, compression);
}

bool WriteMaskPng(const LabelPictures& labels, const std::string& path, PngCompression compression) {
    if (!HasPixels(labels.width, labels.height, labels.mask.size(), 1)) {
        return false;
    }
    const PngImage image{labels.width, labels.height, 8, PNG_COLOR_TYPE_GRAY,
                         static_cast<std::size_t>(labels.width), labels.mask.data()};
    return WriteImage(image, path, compression);
}

bool WriteDepthPng(const LabelPictures& labels, const std::string& path, PngCompression compression) {
    if (!HasPixels(labels.width, labels.height, labels.depth.size(), 1)) {
        return false;
    }
    // PNG keeps 16-bit samples most significant byte first.
    std::vector<unsigned char> bigEndian;
    try {
        bigEndian.resize(2 * labels.depth.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t i = 0; i < labels.depth.size(); ++i) {
        bigEndian[2 * i] = static_cast<unsigned char>(labels.depth[i] >> 8);
        bigEndian[2 * i + 1] = static_cast<unsigned char>(labels.depth[i] & 0xFF);
    }
    const PngImage image{labels.width, labels.height, 16, PNG_COLOR_TYPE_GRAY,
                         2 * static_cast<std::size_t>(labels.width), bigEndian.data()};
    return WriteImage(image, path, compression);
}

}  // namespace cli
