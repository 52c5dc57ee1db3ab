#include "app/core/picture_files.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <stdexcept>
#include <string>

namespace tarnwick::app {
namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// libjpeg reports fatal errors through error_exit, which must not return; it jumps back to
// the encoder with the message kept for the exception.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void JpegSilentMessage(j_common_ptr, int) {}

// Kept free of objects with destructors: longjmp skips them.
bool CompressJpeg(const platform::Bitmap24& picture, int quality, unsigned char** buffer,
                  unsigned long* size, char* message) {
    jpeg_compress_struct info;
    JpegErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JpegErrorExit;
    errors.base.emit_message = JpegSilentMessage;
    errors.message[0] = '\0';
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::strcpy(message, errors.message);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(picture.Width());
    info.image_height = static_cast<JDIMENSION>(picture.Height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.ScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

std::vector<uint8_t> EncodeBmp(const platform::Bitmap24& picture) {
    const uint32_t width = static_cast<uint32_t>(std::max(picture.Width(), 0));
    const uint32_t height = static_cast<uint32_t>(std::max(picture.Height(), 0));
    const uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = rowBytes * height;
    const uint32_t headerBytes = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(headerBytes + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    PutLittleEndian(out, headerBytes + pixelBytes, 4);
    PutLittleEndian(out, 0, 4); // reserved
    PutLittleEndian(out, headerBytes, 4);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, width, 4);
    PutLittleEndian(out, height, 4); // positive: bottom row first
    PutLittleEndian(out, 1, 2);      // planes
    PutLittleEndian(out, 24, 2);     // bits per pixel
    PutLittleEndian(out, 0, 4);      // no compression
    PutLittleEndian(out, pixelBytes, 4);
    PutLittleEndian(out, 2835, 4); // 72 dots per inch, in dots per metre
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 0, 4); // no palette
    PutLittleEndian(out, 0, 4);
    for (int row = static_cast<int>(height) - 1; row >= 0; --row) {
        const uint8_t* line = picture.ScanLine(row);
        out.insert(out.end(), line, line + width * 3);
        out.insert(out.end(), rowBytes - width * 3, 0);
    }
    return out;
}

std::vector<uint8_t> EncodeJpeg(const platform::Bitmap24& picture, int quality) {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX];
    const bool encoded = CompressJpeg(picture, std::clamp(quality, 1, 100), &buffer, &size, message);
    std::vector<uint8_t> out;
    if (encoded) out.assign(buffer, buffer + size);
    std::free(buffer);
    if (!encoded) throw std::runtime_error(std::string("JPEG error: ") + message);
    return out;
}

} // namespace tarnwick::app
