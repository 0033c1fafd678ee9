#include "capture/frame_painter.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

#include "facts/band_fit.h"

namespace {

// Each frame pixel takes its source pixel through the column and row
// tables; a row like the one before is copied whole.
template <class T>
void Enlarge(const T* source, int stride, const std::vector<int>& columns, const std::vector<int>& rows,
             uint8_t* plane, int planeStride) {
    const int width = static_cast<int>(columns.size());
    for (size_t y = 0; y < rows.size(); ++y) {
        T* out = reinterpret_cast<T*>(plane + y * planeStride);
        if (y > 0 && rows[y] == rows[y - 1]) {
            std::memcpy(out, plane + (y - 1) * planeStride, width * sizeof(T));
            continue;
        }
        const T* in = source + rows[y] * stride;
        for (int x = 0; x < width; ++x) out[x] = in[columns[x]];
    }
}

// A colour plane at half width and height: each sample the rounded mean of
// the four frame pixels it covers (one source pixel when the scale is even).
void EnlargeHalved(const uint8_t* source, int stride, const std::vector<int>& columns,
                   const std::vector<int>& rows, uint8_t* plane, int planeStride) {
    const int width = static_cast<int>(columns.size()), height = static_cast<int>(rows.size());
    const int halfWidth = (width + 1) / 2, halfHeight = (height + 1) / 2;
    for (int y = 0; y < halfHeight; ++y) {
        const int top = rows[2 * y], bottom = rows[std::min(2 * y + 1, height - 1)];
        uint8_t* out = plane + y * planeStride;
        if (y > 0 && top == rows[2 * y - 2] && bottom == rows[2 * y - 1]) {
            std::memcpy(out, out - planeStride, halfWidth);
            continue;
        }
        const uint8_t* a = source + top * stride;
        const uint8_t* b = source + bottom * stride;
        for (int x = 0; x < halfWidth; ++x) {
            const int left = columns[2 * x], right = columns[std::min(2 * x + 1, width - 1)];
            out[x] = static_cast<uint8_t>((a[left] + a[right] + b[left] + b[right] + 2) >> 2);
        }
    }
}

// Per frame position along one axis: the source index under it, or `black`.
std::vector<int> Sources(int length, int start, int count, int scale, int black) {
    std::vector<int> sources(length, black);
    for (int i = 0; i < count * scale; ++i) sources[start + i] = i / scale;
    return sources;
}

}  // namespace

bool FitFrame(int width, int height, bool full, FrameLayout& layout) {
    layout.firstRow = full ? 0 : BandTop;
    layout.rows = full ? PictureHeight : BandBottom - BandTop;
    const BandPlace place = FitBand(width, height, PictureWidth, layout.rows);
    layout.scale = place.scale;
    layout.x = place.x;
    layout.y = place.y;
    return layout.scale >= 1;
}

FramePainter::FramePainter(const FrameLayout& layout, int width, int height, bool yuv420)
    : layout_(layout), yuv420_(yuv420), sourceStride_(PictureWidth + 1) {
    // Halved colour planes sample pairs of columns and rows from even ones:
    // on even coordinates no colour sample straddles two picture pixels at
    // an even scale. One column or row off centre at most.
    if (yuv420) {
        layout_.x &= ~1;
        layout_.y &= ~1;
    }
    columns_ = Sources(width, layout_.x, PictureWidth, layout.scale, PictureWidth);
    rows_ = Sources(height, layout_.y, layout.rows, layout.scale, layout.rows);
    const size_t size = static_cast<size_t>(sourceStride_) * (layout.rows + 1);
    if (!yuv420) {
        words_.assign(size, 0);
        return;
    }
    // Black in limited range.
    y_.assign(size, 16);
    u_.assign(size, 128);
    v_.assign(size, 128);
    converter_ = sws_getContext(PictureWidth, layout.rows, AV_PIX_FMT_BGR0, PictureWidth, layout.rows,
                                AV_PIX_FMT_YUV444P, SWS_POINT, nullptr, nullptr, nullptr);
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    if (converter_) sws_setColorspaceDetails(converter_, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
}

FramePainter::~FramePainter() { sws_freeContext(converter_); }

void FramePainter::Paint(const Picture& picture, uint8_t* const planes[], const int strides[]) {
    const uint32_t* framed = picture.Pixels + layout_.firstRow * PictureWidth;
    if (!yuv420_) {
        for (int row = 0; row < layout_.rows; ++row)
            std::memcpy(&words_[row * sourceStride_], framed + row * PictureWidth, PictureWidth * 4);
        Enlarge(words_.data(), sourceStride_, columns_, rows_, planes[0], strides[0]);
        return;
    }
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(framed)};
    const int sourceStrides[1] = {PictureWidth * 4};
    uint8_t* const yuv[3] = {y_.data(), u_.data(), v_.data()};
    const int yuvStrides[3] = {sourceStride_, sourceStride_, sourceStride_};
    sws_scale(converter_, source, sourceStrides, 0, layout_.rows, yuv, yuvStrides);
    Enlarge(y_.data(), sourceStride_, columns_, rows_, planes[0], strides[0]);
    EnlargeHalved(u_.data(), sourceStride_, columns_, rows_, planes[1], strides[1]);
    EnlargeHalved(v_.data(), sourceStride_, columns_, rows_, planes[2], strides[2]);
}
