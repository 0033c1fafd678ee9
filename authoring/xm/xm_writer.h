#pragma once
// Writes FastTracker 2 extended modules (XM, format version 0x0104) from a
// plain description of the song: orders, patterns, instruments with one
// 16-bit sample each.

#include <cstdint>
#include <string>
#include <vector>

// Note numbers as the format counts them: 1 is C-0, 96 is B-7.
constexpr uint8_t XmNoNote = 0;
constexpr uint8_t XmKeyOff = 97;
constexpr uint8_t XmNoteC0 = 1;

struct XmCell {
    uint8_t note = XmNoNote;
    uint8_t instrument = 0;  // 1-based, 0 = none
    uint8_t volume = 0;      // volume column: 0 = empty, 0x10-0x50 = set volume 0-64
    uint8_t effect = 0;
    uint8_t parameter = 0;
};

struct XmPattern {
    int rows = 64;
    std::vector<XmCell> cells;  // rows x channels, row by row
};

struct XmEnvelopePoint {
    uint16_t tick;
    uint16_t value;  // 0-64
};

// Empty `points` leaves the envelope off. Indices of -1 mean "none".
struct XmEnvelope {
    std::vector<XmEnvelopePoint> points;  // at most 12, ticks rising
    int sustain = -1;
    int loopStart = -1;
    int loopEnd = -1;
};

enum class XmLoop : uint8_t { None = 0, Forward = 1, PingPong = 2 };

struct XmInstrument {
    std::string name;  // up to 22 characters
    std::vector<int16_t> sample;
    XmLoop loop = XmLoop::None;
    uint32_t loopStart = 0;   // in sample frames
    uint32_t loopLength = 0;  // in sample frames
    uint8_t volume = 64;      // 0-64
    int8_t finetune = 0;      // -128..127, 1/128 of a semitone
    uint8_t panning = 128;    // 0 left, 255 right
    int8_t relativeNote = 0;  // semitones; 0 plays C-4 at 8363 Hz
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    uint16_t fadeout = 0;
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct XmModule {
    std::string name;     // up to 20 characters
    std::string tracker;  // up to 20 characters
    int channels = 8;     // 1-32
    int speed = 6;        // ticks per row
    int tempo = 125;      // BPM: a tick lasts 2.5 / tempo seconds
    bool linearFrequencies = true;
    int restartPosition = 0;
    std::vector<uint8_t> orders;  // pattern numbers, 1-256 entries
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// Encodes `module` as the bytes of an XM file. Returns false and sets `error`
// when the module does not fit the format.
bool EncodeXm(const XmModule& module, std::vector<uint8_t>& bytes, std::string& error);

// Packs one pattern's cells as the format stores them.
std::vector<uint8_t> PackXmPattern(const XmPattern& pattern);
