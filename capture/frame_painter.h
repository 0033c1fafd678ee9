#pragma once
// Paints the show's picture, enlarged by a whole factor with nearest
// sampling and centred on black, into the planes of a video frame.

#include <cstdint>
#include <vector>

#include "facts/picture.h"

// Where the picture goes in a video frame: the framed rows, enlarged `scale`
// times with their top left corner at (x, y); black around.
struct FrameLayout {
    int firstRow, rows;
    int scale, x, y;
};

// Where FitBand puts the band (or with `full` the whole picture) in a frame
// of width × height. False when it does not fit even once.
bool FitFrame(int width, int height, bool full, FrameLayout& layout);

class FramePainter {
public:
    // `yuv420`: planes Y, U and V (BT.709, limited range, colour at half
    // width and height); otherwise one plane of 0x00RRGGBB words.
    FramePainter(const FrameLayout& layout, int width, int height, bool yuv420);
    ~FramePainter();
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;

    // False when the colour conversion could not be set up.
    bool Ready() const { return !yuv420_ || converter_; }

    void Paint(const Picture& picture, uint8_t* const planes[], const int strides[]);

private:
    FrameLayout layout_;
    bool yuv420_;
    int sourceStride_;  // the framed rows' pixels, then one black column and one black row
    std::vector<uint32_t> words_;
    std::vector<uint8_t> y_, u_, v_;
    std::vector<int> columns_;  // per frame column: its source column, or the black one
    std::vector<int> rows_;     // per frame row: its source row, or the black one
    struct SwsContext* converter_ = nullptr;
};
