// WritePng: the picture encoded by libpng in memory, then written through
// the atomic-write helper, so that a failed write leaves no file behind.
#include <png.h>

#include <cstddef>
#include <new>
#include <vector>

#include "cli/figure_render.h"
#include "formats/atomic_file.h"

namespace cli {
namespace {

bool EncodePng(const Picture& picture, std::vector<unsigned char>& bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    const png_int_32 rowStride = 3 * picture.width;
    // Deflate never grows the filtered rows by more than a few bytes a block,
    // so this is enough in one pass; should it not be, libpng says how much is.
    const std::size_t raw = picture.rgb.size() + static_cast<std::size_t>(picture.height);
    png_alloc_size_t size = raw + raw / 256 + 4096;
    for (int attempt = 0; attempt < 2; ++attempt) {
        bytes.resize(size);
        const int written =
            png_image_write_to_memory(&image, bytes.data(), &size, 0, picture.rgb.data(), rowStride, nullptr);
        png_image_free(&image);
        if (written != 0) {
            bytes.resize(size);
            return true;
        }
        if (size <= bytes.size()) {
            return false;  // an error, not a buffer too small
        }
    }
    return false;
}

}  // namespace

bool WritePng(const Picture& picture, const std::string& path) {
    // Rows of more than 2^31 bytes are beyond libpng's row stride.
    if (picture.width < 1 || picture.height < 1 || picture.width > (1 << 29) ||
        picture.rgb.size() != 3 * static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        return false;
    }
    std::vector<unsigned char> bytes;
    try {
        if (!EncodePng(picture, bytes)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    formats::AtomicFile file(path);
    if (!file.Open()) {
        return false;
    }
    file.Write(bytes.data(), bytes.size());
    return file.Commit();
}

}  // namespace cli
