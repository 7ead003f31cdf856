#include "data/picture.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

#include "files/error.h"
#include "data/refdata.h"
#include "text/tr.h"

namespace zelk {

namespace {

// Target pictures are small; anything far larger is a broken header, and
// decoding it would only exhaust memory.
constexpr long kMaxPixels = 16L * 1024 * 1024;
// Progressive images may hold many scans; a handful is normal, thousands are
// a crafted or broken file that would take minutes to decode.
constexpr int kMaxScans = 500;

// ---------------------------------------------------------------- segment walk

enum class TWalk { Complete, Truncated, Broken };

struct TWalkResult {
    TWalk Status = TWalk::Broken;
    std::size_t End = 0;  // one past the end marker when Complete
    std::size_t At = 0;   // position of the fault otherwise
    const char* Reason = "";
};

TWalkResult WalkJpeg(std::string_view bytes, std::size_t start) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const std::size_t size = bytes.size();
    const auto truncated = [&](std::size_t at) {
        return TWalkResult{TWalk::Truncated, 0, at, ZELK_TR_NOOP("data", "картинка JPEG обрывается на конце файла")};
    };
    const auto broken = [&](std::size_t at, const char* reason) { return TWalkResult{TWalk::Broken, 0, at, reason}; };

    if (start >= size || size - start < 2) return truncated(start);
    if (!JpegStartsAt(bytes, start))
        return broken(start, ZELK_TR_NOOP("data", "здесь нет картинки JPEG: нет её начального маркера FF D8"));

    std::size_t pos = start + 2;
    while (true) {
        // A marker: 0xFF, any number of 0xFF fill bytes, then the code.
        if (pos >= size) return truncated(pos);
        if (byte(pos) != 0xFF) return broken(pos, ZELK_TR_NOOP("data", "в картинке JPEG ожидался маркер (байт FF)"));
        const std::size_t markerAt = pos;
        while (pos < size && byte(pos) == 0xFF) ++pos;
        if (pos >= size) return truncated(pos);
        const unsigned char code = byte(pos++);
        if (code == 0xD9) return TWalkResult{TWalk::Complete, pos, 0, ""};
        if (code == 0x00 || code == 0xD8)
            return broken(markerAt, ZELK_TR_NOOP("data", "в картинке JPEG неверный маркер"));
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;  // no length follows

        if (size - pos < 2) return truncated(pos);
        const std::size_t length = (static_cast<std::size_t>(byte(pos)) << 8) | byte(pos + 1);
        if (length < 2) return broken(pos, ZELK_TR_NOOP("data", "в картинке JPEG длина сегмента меньше 2"));
        if (size - pos < length) return truncated(pos);
        pos += length;

        if (code == 0xDA) {
            // Entropy-coded data: ends at the first 0xFF that is neither a
            // stuffed zero, a restart marker nor a fill byte before one.
            while (true) {
                if (pos >= size) return truncated(pos);
                if (byte(pos) != 0xFF) {
                    ++pos;
                    continue;
                }
                if (pos + 1 >= size) return truncated(pos + 1);
                const unsigned char next = byte(pos + 1);
                if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                    pos += 2;
                } else if (next == 0xFF) {
                    ++pos;
                } else {
                    break;  // pos is at the 0xFF of the next marker
                }
            }
        }
    }
}

void CheckOffset(std::string_view bytes, std::int64_t offset, const std::filesystem::path& fileName) {
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= bytes.size())
        throw TFileError(
            fileName, offset,
            Fill(Tr("data", "смещение картинки за пределами файла (размер %1)"), {std::to_string(bytes.size())}));
}

// ---------------------------------------------------------------- libjpeg glue

// libjpeg reports fatal errors through error_exit, which must not return; we
// jump back to the frame that called setjmp. Only libjpeg's own C frames and
// this callback lie between, so no destructor is skipped.
struct TJpegError {
    jpeg_error_mgr Mgr;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void ZelkJpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

// Warnings about slightly damaged data are not worth a word to the pilot;
// libjpeg would print them to stderr.
extern "C" void ZelkJpegSilence(j_common_ptr, int) {}

struct TScanLimit {
    jpeg_progress_mgr Mgr;
    TJpegError* Error;
};

extern "C" void ZelkJpegProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* limit = reinterpret_cast<TScanLimit*>(cinfo->progress);
        std::snprintf(limit->Error->Message, sizeof limit->Error->Message, "too many scans");
        std::longjmp(limit->Error->Jump, 1);
    }
}

// Decodes with plain C state only, so a longjmp out of libjpeg is safe.
// Returns nullptr on success or the error text.
const char* DecodeJpeg(const unsigned char* data, std::size_t size, TImage& image, TJpegError& err) {
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = ZelkJpegErrorExit;
    err.Mgr.emit_message = ZelkJpegSilence;
    err.Message[0] = '\0';
    TScanLimit limit{};
    limit.Mgr.progress_monitor = ZelkJpegProgress;
    limit.Error = &err;

    // Everything that changes between here and a longjmp lives in `image`,
    // which belongs to the caller.
    if (setjmp(err.Jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return err.Message[0] != '\0' ? err.Message : "libjpeg error";
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &limit.Mgr;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return "no image in the stream";
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0 ||
        static_cast<long>(cinfo.image_width) * static_cast<long>(cinfo.image_height) > kMaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return "image size out of range";
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image.Width = static_cast<int>(cinfo.output_width);
    image.Height = static_cast<int>(cinfo.output_height);
    const std::size_t stride = static_cast<std::size_t>(image.Width) * 3;
    image.Rgb.assign(stride * static_cast<std::size_t>(image.Height), 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.Rgb.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
}

const char* EncodeJpeg(const TImage& image, int quality, unsigned char** out, unsigned long* outSize, TJpegError& err) {
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = ZelkJpegErrorExit;
    err.Mgr.emit_message = ZelkJpegSilence;
    err.Message[0] = '\0';
    if (setjmp(err.Jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        return err.Message[0] != '\0' ? err.Message : "libjpeg error";
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(image.Width);
    cinfo.image_height = static_cast<JDIMENSION>(image.Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(image.Width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg does not write through the row pointer.
        JSAMPROW row = const_cast<JSAMPLE*>(image.Rgb.data() + stride * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return nullptr;
}

TImage DecodeComplete(std::string_view image, std::int64_t offset, const std::filesystem::path& fileName) {
    TImage result;
    TJpegError err;
    const char* failure = DecodeJpeg(reinterpret_cast<const unsigned char*>(image.data()), image.size(), result, err);
    if (failure != nullptr)
        throw TFileError(fileName, offset, Fill(Tr("data", "картинка JPEG не читается: %1"), {failure}));
    return result;
}

}  // namespace

std::size_t JpegLength(std::string_view bytes, std::int64_t offset, const std::filesystem::path& fileName) {
    CheckOffset(bytes, offset, fileName);
    const TWalkResult walk = WalkJpeg(bytes, static_cast<std::size_t>(offset));
    if (walk.Status != TWalk::Complete)
        throw TFileError(fileName, static_cast<std::int64_t>(walk.At), Tr("data", walk.Reason));
    return walk.End - static_cast<std::size_t>(offset);
}

TImage DecodePicture(std::string_view bytes, std::int64_t offset, const std::filesystem::path& fileName) {
    const std::size_t length = JpegLength(bytes, offset, fileName);
    return DecodeComplete(bytes.substr(static_cast<std::size_t>(offset), length), offset, fileName);
}

TImage ReadPicture(const std::filesystem::path& file, std::int64_t offset) {
    TDataFile data(file);
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= data.Size())
        throw TFileError(
            file, offset,
            Fill(Tr("data", "смещение картинки за пределами файла (размер %1)"), {std::to_string(data.Size())}));
    // The image's length is not stored: read a piece, and a larger one while
    // the image runs on past it and the file goes on.
    std::size_t chunk = 64 * 1024;
    while (true) {
        const std::string bytes = data.ReadAt(offset, chunk);
        const TWalkResult walk = WalkJpeg(bytes, 0);
        if (walk.Status == TWalk::Complete)
            return DecodeComplete(std::string_view(bytes).substr(0, walk.End), offset, file);
        if (walk.Status == TWalk::Truncated && bytes.size() == chunk) {
            chunk *= 4;
            continue;
        }
        throw TFileError(file, offset + static_cast<std::int64_t>(walk.At), Tr("data", walk.Reason));
    }
}

std::string EncodePicture(const TImage& image, int quality) {
    if (image.Width <= 0 || image.Height <= 0 ||
        image.Rgb.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height) * 3)
        throw std::invalid_argument("картинка пуста или её размер не совпадает с числом точек");
    if (quality < 1 || quality > 100) throw std::invalid_argument("качество JPEG вне 1..100");
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    TJpegError err;
    const char* failure = EncodeJpeg(image, quality, &out, &outSize, err);
    std::string bytes;
    if (failure == nullptr) bytes.assign(reinterpret_cast<const char*>(out), outSize);
    std::free(out);
    if (failure != nullptr) throw std::runtime_error(std::string("JPEG encoding failed: ") + failure);
    return bytes;
}

}  // namespace zelk
