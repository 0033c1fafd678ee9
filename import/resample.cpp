#include "import/resample.h"

#include <algorithm>
#include <cmath>

namespace {

// The source pixels that make one output pixel along an axis, and their weights.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

// Output pixel j covers source coordinates [offset + j / scale, offset + (j + 1) / scale).
std::vector<Taps> AxisTaps(int sourceSize, int targetSize, double scale) {
    const double offset = (sourceSize - targetSize / scale) / 2;
    std::vector<Taps> taps(static_cast<size_t>(targetSize));
    for (int j = 0; j < targetSize; ++j) {
        Taps& tap = taps[static_cast<size_t>(j)];
        if (scale < 1) {
            const double from = offset + j / scale, to = offset + (j + 1) / scale;
            tap.first = std::clamp(static_cast<int>(std::floor(from)), 0, sourceSize - 1);
            const int last = std::clamp(static_cast<int>(std::ceil(to)) - 1, tap.first, sourceSize - 1);
            double total = 0;
            for (int i = tap.first; i <= last; ++i) {
                const double overlap = std::max(0.0, std::min<double>(to, i + 1) - std::max<double>(from, i));
                tap.weights.push_back(static_cast<float>(overlap));
                total += overlap;
            }
            for (float& weight : tap.weights) weight = static_cast<float>(weight / total);
        } else {
            const double centre = std::clamp(offset + (j + 0.5) / scale - 0.5, 0.0, sourceSize - 1.0);
            tap.first = std::min(static_cast<int>(centre), std::max(0, sourceSize - 2));
            const float fraction = static_cast<float>(centre - tap.first);
            tap.weights = {1 - fraction, fraction};
            if (sourceSize == 1) tap.weights = {1};
        }
    }
    return taps;
}

float ToLinear(uint8_t value) {
    const double v = value / 255.0;
    return static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
}

uint32_t ToSrgb(float linear) {
    const double v = std::clamp<double>(linear, 0, 1);
    const double encoded = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return static_cast<uint32_t>(std::lround(encoded * 255));
}

}  // namespace

void ScaleToCover(const RgbImage& image, int width, int height, uint32_t* pixels) {
    const double scale = std::max(static_cast<double>(width) / image.width, static_cast<double>(height) / image.height);
    const std::vector<Taps> across = AxisTaps(image.width, width, scale);
    const std::vector<Taps> down = AxisTaps(image.height, height, scale);
    float linear[256];
    for (int i = 0; i < 256; ++i) linear[i] = ToLinear(static_cast<uint8_t>(i));

    // Rows first: every source row the columns need, narrowed to `width` pixels.
    const int firstRow = down.front().first;
    const int lastRow = down.back().first + static_cast<int>(down.back().weights.size()) - 1;
    std::vector<float> narrowed(static_cast<size_t>(lastRow - firstRow + 1) * width * 3, 0.0f);
    for (int row = firstRow; row <= lastRow; ++row) {
        const uint8_t* source = image.rgb.data() + static_cast<size_t>(row) * image.width * 3;
        float* out = narrowed.data() + static_cast<size_t>(row - firstRow) * width * 3;
        for (int x = 0; x < width; ++x) {
            const Taps& tap = across[static_cast<size_t>(x)];
            for (size_t k = 0; k < tap.weights.size(); ++k)
                for (int c = 0; c < 3; ++c)
                    out[x * 3 + c] += tap.weights[k] * linear[source[(tap.first + k) * 3 + c]];
        }
    }
    for (int y = 0; y < height; ++y) {
        const Taps& tap = down[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            float sum[3] = {0, 0, 0};
            for (size_t k = 0; k < tap.weights.size(); ++k) {
                const float* in = narrowed.data() + ((tap.first - firstRow + k) * width + x) * 3;
                for (int c = 0; c < 3; ++c) sum[c] += tap.weights[k] * in[c];
            }
            pixels[y * width + x] = ToSrgb(sum[0]) << 16 | ToSrgb(sum[1]) << 8 | ToSrgb(sum[2]);
        }
    }
}

void LayOverBlack(const uint8_t* rgba, size_t pixels, uint8_t* rgb) {
    for (size_t i = 0; i < pixels; ++i) {
        // Each pixel is read whole before its bytes are written, which lets `rgb` be `rgba`.
        const uint32_t red = rgba[i * 4], green = rgba[i * 4 + 1], blue = rgba[i * 4 + 2], alpha = rgba[i * 4 + 3];
        rgb[i * 3] = static_cast<uint8_t>((red * alpha + 127) / 255);
        rgb[i * 3 + 1] = static_cast<uint8_t>((green * alpha + 127) / 255);
        rgb[i * 3 + 2] = static_cast<uint8_t>((blue * alpha + 127) / 255);
    }
}

void ScaleToCover(const RgbImage& image, Picture& picture) {
    ScaleToCover(image, PictureWidth, PictureHeight, picture.Pixels);
}
