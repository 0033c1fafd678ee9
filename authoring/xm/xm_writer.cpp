#include "authoring/xm/xm_writer.h"

#include <cstring>

namespace {

constexpr uint16_t FormatVersion = 0x0104;
constexpr uint32_t HeaderSize = 276;             // counted from the header size field on
constexpr uint32_t InstrumentHeaderSize = 263;   // with the reserved tail FastTracker 2 writes
constexpr uint32_t SampleHeaderSize = 40;
constexpr size_t MaxEnvelopePoints = 12;

class Bytes {
public:
    explicit Bytes(std::vector<uint8_t>& out) : out_(out) {}
    void U8(uint32_t value) { out_.push_back(static_cast<uint8_t>(value)); }
    void U16(uint32_t value) {
        U8(value);
        U8(value >> 8);
    }
    void U32(uint32_t value) {
        U16(value);
        U16(value >> 16);
    }
    void Text(const std::string& text, size_t width) {
        for (size_t i = 0; i < width; ++i) U8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
    void Zeros(size_t count) { out_.insert(out_.end(), count, 0); }
    void Append(const std::vector<uint8_t>& bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

private:
    std::vector<uint8_t>& out_;
};

std::string CheckEnvelope(const XmEnvelope& envelope) {
    const int count = static_cast<int>(envelope.points.size());
    if (envelope.points.size() > MaxEnvelopePoints) return "more than 12 envelope points";
    for (int i = 0; i < count; ++i) {
        if (envelope.points[i].value > 64) return "envelope value above 64";
        if (i > 0 && envelope.points[i].tick <= envelope.points[i - 1].tick)
            return "envelope ticks do not rise";
    }
    for (const int index : {envelope.sustain, envelope.loopStart, envelope.loopEnd})
        if (index < -1 || index >= count) return "envelope point index out of range";
    if ((envelope.loopStart < 0) != (envelope.loopEnd < 0) || envelope.loopStart > envelope.loopEnd)
        return "envelope loop needs a start and an end, in order";
    return "";
}

std::string CheckInstrument(const XmInstrument& instrument) {
    if (instrument.name.size() > 22) return "name longer than 22 characters";
    if (instrument.sample.empty()) return "no sample data";
    if (instrument.sample.size() > 0x7FFFFFFF / 2) return "sample too long";
    if (instrument.volume > 64) return "volume above 64";
    if (instrument.loop != XmLoop::None &&
        (instrument.loopLength == 0 || instrument.loopStart >= instrument.sample.size() ||
         instrument.loopLength > instrument.sample.size() - instrument.loopStart))
        return "loop outside the sample";
    std::string problem = CheckEnvelope(instrument.volumeEnvelope);
    if (problem.empty()) problem = CheckEnvelope(instrument.panningEnvelope);
    return problem;
}

std::string CheckModule(const XmModule& module) {
    if (module.name.size() > 20 || module.tracker.size() > 20) return "module or tracker name longer than 20 characters";
    if (module.channels < 1 || module.channels > 32) return "channel count outside 1-32";
    if (module.speed < 1 || module.speed > 31) return "speed outside 1-31";
    if (module.tempo < 32 || module.tempo > 255) return "tempo outside 32-255";
    if (module.orders.empty() || module.orders.size() > 256) return "order list must have 1-256 entries";
    if (module.restartPosition < 0 || module.restartPosition >= static_cast<int>(module.orders.size()))
        return "restart position outside the order list";
    if (module.patterns.empty() || module.patterns.size() > 256) return "pattern count outside 1-256";
    if (module.instruments.size() > 128) return "more than 128 instruments";
    for (const uint8_t order : module.orders)
        if (order >= module.patterns.size()) return "order refers to a missing pattern";
    for (size_t p = 0; p < module.patterns.size(); ++p) {
        const XmPattern& pattern = module.patterns[p];
        const std::string where = "pattern " + std::to_string(p) + ": ";
        if (pattern.rows < 1 || pattern.rows > 256) return where + "row count outside 1-256";
        if (pattern.cells.size() != static_cast<size_t>(pattern.rows * module.channels))
            return where + "cell count is not rows x channels";
        for (const XmCell& cell : pattern.cells) {
            if (cell.note > XmKeyOff) return where + "note number above 97";
            if (cell.instrument > module.instruments.size()) return where + "missing instrument";
        }
    }
    for (size_t i = 0; i < module.instruments.size(); ++i) {
        const std::string problem = CheckInstrument(module.instruments[i]);
        if (!problem.empty()) return "instrument " + std::to_string(i + 1) + ": " + problem;
    }
    return "";
}

void WriteEnvelopePoints(Bytes& out, const XmEnvelope& envelope) {
    for (size_t i = 0; i < MaxEnvelopePoints; ++i) {
        const XmEnvelopePoint point = i < envelope.points.size() ? envelope.points[i] : XmEnvelopePoint{0, 0};
        out.U16(point.tick);
        out.U16(point.value);
    }
}

uint8_t EnvelopeFlags(const XmEnvelope& envelope) {
    if (envelope.points.empty()) return 0;
    return 1 | (envelope.sustain >= 0 ? 2 : 0) | (envelope.loopStart >= 0 ? 4 : 0);
}

uint8_t PointIndex(int index) { return index < 0 ? 0 : static_cast<uint8_t>(index); }

void WriteInstrument(Bytes& out, const XmInstrument& instrument) {
    out.U32(InstrumentHeaderSize);
    out.Text(instrument.name, 22);
    out.U8(0);  // instrument type, always 0
    out.U16(1);  // one sample
    out.U32(SampleHeaderSize);
    out.Zeros(96);  // every note plays sample 1
    WriteEnvelopePoints(out, instrument.volumeEnvelope);
    WriteEnvelopePoints(out, instrument.panningEnvelope);
    out.U8(static_cast<uint8_t>(instrument.volumeEnvelope.points.size()));
    out.U8(static_cast<uint8_t>(instrument.panningEnvelope.points.size()));
    for (const XmEnvelope* envelope : {&instrument.volumeEnvelope, &instrument.panningEnvelope}) {
        out.U8(PointIndex(envelope->sustain));
        out.U8(PointIndex(envelope->loopStart));
        out.U8(PointIndex(envelope->loopEnd));
    }
    out.U8(EnvelopeFlags(instrument.volumeEnvelope));
    out.U8(EnvelopeFlags(instrument.panningEnvelope));
    out.U8(instrument.vibratoType);
    out.U8(instrument.vibratoSweep);
    out.U8(instrument.vibratoDepth);
    out.U8(instrument.vibratoRate);
    out.U16(instrument.fadeout);
    out.Zeros(InstrumentHeaderSize - 241);

    // The sample header: lengths in bytes, 16-bit data.
    const bool looped = instrument.loop != XmLoop::None;
    out.U32(static_cast<uint32_t>(instrument.sample.size() * 2));
    out.U32(looped ? instrument.loopStart * 2 : 0);
    out.U32(looped ? instrument.loopLength * 2 : 0);
    out.U8(instrument.volume);
    out.U8(static_cast<uint8_t>(instrument.finetune));
    out.U8(static_cast<uint8_t>(instrument.loop) | 0x10);
    out.U8(instrument.panning);
    out.U8(static_cast<uint8_t>(instrument.relativeNote));
    out.U8(0);  // reserved
    out.Text(instrument.name, 22);

    // Sample data is stored as differences between neighbours, wrapping.
    int16_t previous = 0;
    for (const int16_t value : instrument.sample) {
        out.U16(static_cast<uint16_t>(value - previous));
        previous = value;
    }
}

}  // namespace

std::vector<uint8_t> PackXmPattern(const XmPattern& pattern) {
    std::vector<uint8_t> packed;
    for (const XmCell& cell : pattern.cells) {
        const uint8_t fields[5] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter};
        uint8_t mask = 0x80;
        for (int i = 0; i < 5; ++i)
            if (fields[i] != 0) mask |= static_cast<uint8_t>(1 << i);
        // A cell with every field set is stored whole: its note byte has the top bit clear.
        if (mask != 0x9F) packed.push_back(mask);
        for (int i = 0; i < 5; ++i)
            if (mask & (1 << i)) packed.push_back(fields[i]);
    }
    return packed;
}

bool EncodeXm(const XmModule& module, std::vector<uint8_t>& bytes, std::string& error) {
    error = CheckModule(module);
    if (!error.empty()) return false;

    bytes.clear();
    Bytes out(bytes);
    out.Text("Extended Module: ", 17);
    out.Text(module.name, 20);
    out.U8(0x1A);
    out.Text(module.tracker, 20);
    out.U16(FormatVersion);
    out.U32(HeaderSize);
    out.U16(static_cast<uint32_t>(module.orders.size()));
    out.U16(static_cast<uint32_t>(module.restartPosition));
    out.U16(static_cast<uint32_t>(module.channels));
    out.U16(static_cast<uint32_t>(module.patterns.size()));
    out.U16(static_cast<uint32_t>(module.instruments.size()));
    out.U16(module.linearFrequencies ? 1 : 0);
    out.U16(static_cast<uint32_t>(module.speed));
    out.U16(static_cast<uint32_t>(module.tempo));
    for (size_t i = 0; i < 256; ++i) out.U8(i < module.orders.size() ? module.orders[i] : 0);

    for (const XmPattern& pattern : module.patterns) {
        // At most 32 x 256 cells of 5 bytes: the size always fits its 16-bit field.
        const std::vector<uint8_t> packed = PackXmPattern(pattern);
        out.U32(9);  // pattern header length
        out.U8(0);   // packing type
        out.U16(static_cast<uint32_t>(pattern.rows));
        out.U16(static_cast<uint32_t>(packed.size()));
        out.Append(packed);
    }
    for (const XmInstrument& instrument : module.instruments) WriteInstrument(out, instrument);
    return true;
}
