#pragma once
// The module's instruments, synthesised in code.

#include <vector>

#include "authoring/xm/xm_writer.h"

// Instrument numbers as the patterns use them (1-based).
enum Instrument : uint8_t {
    Kick = 1,
    Snare,
    ClosedHat,
    OpenHat,
    Crash,
    Bass,
    Pad,
    Lead,
    Pluck,
    InstrumentCount = Pluck
};

// Every instrument, in the order of `Instrument`. Pitched ones sound at the
// pitch of the note they are played at (C-4 is middle C); drums are played at C-4.
std::vector<XmInstrument> MakeInstruments();
