#include "authoring/song/composition.h"

#include <array>
#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string>

#include "authoring/song/instruments.h"

namespace {

constexpr int StepsPerBar = 16;  // a row is a sixteenth note
constexpr int BarsPerSection = 8;
constexpr int SectionRows = StepsPerBar * BarsPerSection;
constexpr int PatternRows = 64;
constexpr int SongRows = SongSections * SectionRows;
constexpr int EchoDelay = 3;  // a dotted eighth

enum Channel { KickChannel, SnareChannel, HatChannel, BassChannel, PadChannel, LeadChannel = PadChannel + 3,
               LeadEchoChannel, ArpChannel, CrashChannel, ArpEchoChannel };
static_assert(ArpEchoChannel + 1 == SongChannels);

constexpr uint8_t SetPanning = 0x08;
uint8_t Volume(int volume) { return static_cast<uint8_t>(0x10 + volume); }

// Pitch in semitones from C-0, from a name such as "A4" or "G#5".
int Pitch(const std::string& name) {
    static const int letters[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::logic_error("bad note " + name);
    int pitch = letters[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++pitch;
        ++at;
    }
    if (at + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[at])))
        throw std::logic_error("bad note " + name);
    return pitch + 12 * (name[at] - '0');
}

uint8_t Note(int pitch) { return static_cast<uint8_t>(XmNoteC0 + pitch); }

struct Chord {
    const char* bass;
    std::array<const char*, 3> pad;  // voiced close to the chords around it
};

using Progression = std::array<Chord, BarsPerSection>;

const Chord Am{"A2", {"A3", "C4", "E4"}}, F{"F2", {"A3", "C4", "F4"}}, C{"C3", {"G3", "C4", "E4"}},
    G{"G2", {"G3", "B3", "D4"}}, E{"E2", {"G#3", "B3", "E4"}}, Dm{"D2", {"A3", "D4", "F4"}},
    Em{"E2", {"G3", "B3", "E4"}};

const Progression Home{Am, F, C, G, Am, F, G, E};
const Progression Wander{F, G, Em, Am, Dm, Em, F, E};
const Progression Lift{F, G, Em, Am, Dm, G, C, E};

// Melodies: one string per bar, sixteen steps each: a note, "." to hold, "^" to release.
using Melody = std::array<const char*, BarsPerSection>;

const Melody ThemeA{
    "E5 . . . D5 . C5 . B4 . C5 . A4 . . .",  "A4 . . . C5 . . . F5 . . . E5 . D5 .",
    "E5 . . . . . G5 . E5 . . . C5 . . .",    "D5 . . . B4 . . . G4 . . . B4 . D5 .",
    "E5 . . . D5 . C5 . B4 . C5 . E5 . . .",  "A5 . . . G5 . F5 . E5 . . . C5 . . .",
    "D5 . . . . . B4 . G4 . B4 . D5 . . .",   "B4 . . . G#4 . . . E4 . . . . . ^ .",
};
const Melody ThemeAHigh{
    ThemeA[0], ThemeA[1], ThemeA[2], ThemeA[3],
    "C6 . . . B5 . A5 . E5 . . . A5 . B5 .",  "C6 . . . A5 . F5 . C5 . . . F5 . A5 .",
    "B5 . . . G5 . D5 . B4 . D5 . G5 . B5 .", "G#5 . . . . . . . E5 . . . . . ^ .",
};
const Melody ThemeB{
    "C5 . . . A4 . C5 . F5 . . . E5 . . .",   "D5 . . . B4 . D5 . G5 . . . F5 . E5 .",
    "E5 . . . . . . . B4 . . . G4 . . .",     "A4 . . . C5 . E5 . A5 . . . . . ^ .",
    "F5 . . . E5 . D5 . A4 . . . D5 . F5 .",  "G5 . . . F5 . D5 . B4 . . . D5 . . .",
    "E5 . . . G5 . . . C6 . . . B5 . G5 .",   "G#5 . . . . . . . B5 . . . ^ . . .",
};

enum class Drums { None, Pulse, Beat, Full };
enum class BassLine { None, Long, Driving };
enum class Arpeggio { None, Eighths, Sixteenths };
enum class Fill { None, LastBeat, Roll };

struct Section {
    const Progression* chords;
    Drums drums;
    BassLine bass;
    const Melody* melody;
    Arpeggio arpeggio;
    bool crash;
    Fill fill;
};

// Intro, verse, theme, varied theme, break, build, second theme, reprise and
// a bridge that leads back into the verse when the song loops.
const Section Sections[SongSections] = {
    {&Home, Drums::None, BassLine::None, nullptr, Arpeggio::Eighths, false, Fill::LastBeat},
    {&Home, Drums::Beat, BassLine::Driving, nullptr, Arpeggio::None, true, Fill::LastBeat},
    {&Home, Drums::Full, BassLine::Driving, &ThemeA, Arpeggio::None, true, Fill::LastBeat},
    {&Home, Drums::Full, BassLine::Driving, &ThemeAHigh, Arpeggio::Eighths, true, Fill::LastBeat},
    {&Wander, Drums::None, BassLine::Long, nullptr, Arpeggio::Sixteenths, true, Fill::None},
    {&Wander, Drums::Pulse, BassLine::Driving, nullptr, Arpeggio::Sixteenths, false, Fill::Roll},
    {&Lift, Drums::Full, BassLine::Driving, &ThemeB, Arpeggio::Eighths, true, Fill::LastBeat},
    {&Home, Drums::Full, BassLine::Driving, &ThemeA, Arpeggio::Sixteenths, true, Fill::LastBeat},
    {&Home, Drums::Pulse, BassLine::Long, nullptr, Arpeggio::Eighths, false, Fill::LastBeat},
};
static_assert(SongRestartSection > 0 && SongRestartSection < SongSections);

class Song {
public:
    Song() : cells_(static_cast<size_t>(SongRows * SongChannels)) {}

    // Writes a cell; rows past the end of the song are dropped (echo tails).
    void Put(int row, int channel, uint8_t note, uint8_t instrument, int volume, uint8_t effect = 0,
             uint8_t parameter = 0) {
        if (row >= SongRows) return;
        XmCell& cell = cells_[static_cast<size_t>(row * SongChannels + channel)];
        cell = {note, instrument, volume > 0 ? Volume(volume) : uint8_t{0}, effect, parameter};
    }

    const XmCell& At(int row, int channel) const { return cells_[static_cast<size_t>(row * SongChannels + channel)]; }

private:
    std::vector<XmCell> cells_;
};

void WriteDrums(Song& song, int start, const Section& section) {
    for (int bar = 0; bar < BarsPerSection; ++bar) {
        const int top = start + bar * StepsPerBar;
        const bool lastBar = bar == BarsPerSection - 1;
        for (int step = 0; step < StepsPerBar; ++step) {
            const int row = top + step;
            if (section.drums == Drums::None) continue;
            if (step % 4 == 0 || (section.drums == Drums::Full && bar % 4 == 3 && step == 7))
                song.Put(row, KickChannel, Note(Pitch("C4")), Kick, 56);
            const bool offbeat = step % 4 == 2;
            if (section.drums != Drums::Pulse && step % 8 == 4) song.Put(row, SnareChannel, Note(Pitch("C4")), Snare, 52);
            if (offbeat && section.drums != Drums::Pulse && bar % 2 == 1 && step == 14)
                song.Put(row, HatChannel, Note(Pitch("C4")), OpenHat, 36);
            else if (offbeat)
                song.Put(row, HatChannel, Note(Pitch("C4")), ClosedHat, 40);
            else if (section.drums == Drums::Full && step % 2 == 1)
                song.Put(row, HatChannel, Note(Pitch("C4")), ClosedHat, 14 + (step % 4 == 3 ? 6 : 0));
        }
        if (section.fill == Fill::LastBeat && lastBar)
            for (int step = 12; step < 16; ++step)
                song.Put(top + step, SnareChannel, Note(Pitch("C4")), Snare, 34 + (step - 12) * 8);
        if (section.fill == Fill::Roll && bar >= BarsPerSection - 2) {
            const int every = lastBar ? 1 : 2;
            for (int step = 0; step < StepsPerBar; step += every) {
                const int progress = (bar - (BarsPerSection - 2)) * StepsPerBar + step;
                song.Put(top + step, SnareChannel, Note(Pitch("C4")), Snare, 18 + progress * 46 / 31);
            }
        }
    }
    if (section.crash) song.Put(start, CrashChannel, Note(Pitch("C4")), Crash, 36);
}

void WriteBass(Song& song, int start, const Section& section) {
    if (section.bass == BassLine::None) return;
    for (int bar = 0; bar < BarsPerSection; ++bar) {
        const int top = start + bar * StepsPerBar;
        const int root = Pitch((*section.chords)[bar].bass);
        if (section.bass == BassLine::Long) {
            song.Put(top, BassChannel, Note(root), Bass, 58);
            song.Put(top + 8, BassChannel, Note(root + 12), Bass, 40);
            song.Put(top + 14, BassChannel, XmKeyOff, 0, 0);
            continue;
        }
        // Octaves on the eighths, with a fifth to turn towards the next bar.
        static const int intervals[8] = {0, 12, 0, 12, 0, 12, 7, 12};
        for (int eighth = 0; eighth < 8; ++eighth)
            song.Put(top + eighth * 2, BassChannel, Note(root + intervals[eighth]), Bass, eighth % 2 ? 38 : 50);
    }
}

// Pad voices move only where the chord changes them, so common tones ring on.
void WritePad(Song& song, int start, const Section& section, const Progression* previous) {
    static const uint8_t panning[3] = {0x50, 0x80, 0xB0};
    for (int bar = 0; bar < BarsPerSection; ++bar) {
        for (int voice = 0; voice < 3; ++voice) {
            const std::string pitch = (*section.chords)[bar].pad[voice];
            const char* before = bar > 0 ? (*section.chords)[bar - 1].pad[voice]
                                         : previous ? (*previous)[BarsPerSection - 1].pad[voice] : nullptr;
            if (before && pitch == before) continue;
            song.Put(start + bar * StepsPerBar, PadChannel + voice, Note(Pitch(pitch)), Pad, 34, SetPanning,
                     panning[voice]);
        }
    }
}

// A part and its quieter echo, panned apart.
void PutWithEcho(Song& song, int row, int channel, int echoChannel, uint8_t note, Instrument instrument, int volume,
                 int echoVolume, uint8_t panning) {
    const bool release = note == XmKeyOff;
    song.Put(row, channel, note, release ? 0 : instrument, release ? 0 : volume, SetPanning, panning);
    song.Put(row + EchoDelay, echoChannel, note, release ? 0 : instrument, release ? 0 : echoVolume, SetPanning,
             static_cast<uint8_t>(255 - panning));
}

void WriteMelody(Song& song, int start, const Melody& melody) {
    for (int bar = 0; bar < BarsPerSection; ++bar) {
        std::istringstream tokens(melody[bar]);
        std::string token;
        int step = 0;
        for (; tokens >> token; ++step) {
            if (step >= StepsPerBar) throw std::logic_error("melody bar longer than 16 steps");
            if (token == ".") continue;
            const uint8_t note = token == "^" ? XmKeyOff : Note(Pitch(token));
            PutWithEcho(song, start + bar * StepsPerBar + step, LeadChannel, LeadEchoChannel, note, Lead, 58, 22, 0x68);
        }
        if (step != StepsPerBar) throw std::logic_error("melody bar shorter than 16 steps");
    }
}

void WriteArpeggio(Song& song, int start, const Section& section) {
    if (section.arpeggio == Arpeggio::None) return;
    static const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 3};
    const int every = section.arpeggio == Arpeggio::Eighths ? 2 : 1;
    for (int bar = 0; bar < BarsPerSection; ++bar) {
        const auto& pad = (*section.chords)[bar].pad;
        const int tones[4] = {Pitch(pad[0]) + 12, Pitch(pad[1]) + 12, Pitch(pad[2]) + 12, Pitch(pad[0]) + 24};
        for (int step = 0; step < StepsPerBar; step += every) {
            const int volume = step % 4 == 0 ? 36 : 24;
            PutWithEcho(song, start + bar * StepsPerBar + step, ArpChannel, ArpEchoChannel,
                        Note(tones[order[step / every]]), Pluck, volume, volume / 3, 0x40);
        }
    }
}

std::vector<XmPattern> SliceIntoPatterns(const Song& song, std::vector<uint8_t>& orders) {
    std::vector<XmPattern> patterns;
    for (int top = 0; top < SongRows; top += PatternRows) {
        XmPattern pattern;
        pattern.rows = PatternRows;
        for (int row = top; row < top + PatternRows; ++row)
            for (int channel = 0; channel < SongChannels; ++channel) pattern.cells.push_back(song.At(row, channel));
        // Sections that repeat share their patterns.
        size_t index = 0;
        while (index < patterns.size() && PackXmPattern(patterns[index]) != PackXmPattern(pattern)) ++index;
        if (index == patterns.size()) patterns.push_back(pattern);
        orders.push_back(static_cast<uint8_t>(index));
    }
    return patterns;
}

}  // namespace

XmModule ComposeSong() {
    Song song;
    const Progression* previous = nullptr;
    for (int index = 0; index < SongSections; ++index) {
        const Section& section = Sections[index];
        const int start = index * SectionRows;
        WriteDrums(song, start, section);
        WriteBass(song, start, section);
        WritePad(song, start, section, previous);
        if (section.melody) WriteMelody(song, start, *section.melody);
        WriteArpeggio(song, start, section);
        previous = section.chords;
    }

    XmModule module;
    module.name = "Twenty-Three Turns";
    module.tracker = "demo-music";
    module.channels = SongChannels;
    module.speed = SongSpeed;
    module.tempo = SongTempo;
    module.restartPosition = SongRestartSection * SectionRows / PatternRows;
    module.patterns = SliceIntoPatterns(song, module.orders);
    module.instruments = MakeInstruments();
    return module;
}
