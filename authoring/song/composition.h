#pragma once
// The default module: an original piece in A minor at 120 beats per minute.
//
// Speed 6 at tempo 120 makes a row 125 ms, a sixteenth note; a 64-row
// pattern is four 4/4 bars, 8 s, so every 16-second picture of the show
// spans exactly one eight-bar section of two patterns. Nine sections play
// 144 s; the song then loops back to its second section.

#include "authoring/xm/xm_writer.h"

constexpr int SongSpeed = 6;
constexpr int SongTempo = 120;
constexpr int SongChannels = 12;
constexpr int SongSections = 9;
constexpr int SongRestartSection = 1;

XmModule ComposeSong();
