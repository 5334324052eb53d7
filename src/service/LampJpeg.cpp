#include "service/LampJpeg.h"

#include "service/RadioFSW.h"

#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>

// The lamp pictures are a resource of a static library: it must be registered by name.
static void InitLampResources() { Q_INIT_RESOURCE(lamps); }

namespace mv53 {

namespace {

// libjpeg ends the process on an error unless its error handler jumps back.
struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1);
}

void SilenceJpegMessage(j_common_ptr) {}

// Everything the decoder changes lives here, allocated before the jump point.
struct TJpegDecoder {
    jpeg_decompress_struct info{};
    TJpegError error{};
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
    bool created = false;
};

bool Decode(const QByteArray& data, TJpegDecoder& d)
{
    d.info.err = jpeg_std_error(&d.error.manager);
    d.error.manager.error_exit = OnJpegError;
    d.error.manager.output_message = SilenceJpegMessage;
    if (setjmp(d.error.jump) != 0) {
        if (d.created)
            jpeg_destroy_decompress(&d.info);
        return false;
    }
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&d.info);
        return false;
    }
    d.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.info);
    d.width = static_cast<int>(d.info.output_width);
    d.height = static_cast<int>(d.info.output_height);
    const std::size_t stride = static_cast<std::size_t>(d.width) * 3;
    d.pixels.resize(stride * static_cast<std::size_t>(d.height));
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = d.pixels.data() + stride * d.info.output_scanline;
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    jpeg_destroy_decompress(&d.info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    auto decoder = std::make_unique<TJpegDecoder>();
    if (!Decode(data, *decoder) || decoder->width <= 0 || decoder->height <= 0)
        return {};
    QImage image(decoder->width, decoder->height, QImage::Format_RGB888);
    const std::size_t stride = static_cast<std::size_t>(decoder->width) * 3;
    for (int y = 0; y < decoder->height; ++y)
        std::copy_n(decoder->pixels.data() + stride * static_cast<std::size_t>(y), stride, image.scanLine(y));
    return image;
}

QImage LampImage(TLamp lamp)
{
    static const bool registered = (InitLampResources(), true);
    (void)registered;
    static const QImage images[3] = {
        [] {
            QFile f(QStringLiteral(":/fw/lamps/lamp-green.jpg"));
            return f.open(QIODevice::ReadOnly) ? DecodeJpeg(f.readAll()) : QImage();
        }(),
        [] {
            QFile f(QStringLiteral(":/fw/lamps/lamp-red.jpg"));
            return f.open(QIODevice::ReadOnly) ? DecodeJpeg(f.readAll()) : QImage();
        }(),
        [] {
            QFile f(QStringLiteral(":/fw/lamps/lamp-yellow.jpg"));
            return f.open(QIODevice::ReadOnly) ? DecodeJpeg(f.readAll()) : QImage();
        }(),
    };
    switch (lamp) {
    case TLamp::Green: return images[0];
    case TLamp::Red: return images[1];
    case TLamp::Yellow: return images[2];
    }
    return {};
}

}  // namespace mv53
