#pragma once

#include <cstdint>

#include "sound/mixer.h"

// Silences wave playback on the whole machine while a muted movie plays: every mixer mute
// control that governs wave output is switched on, and the wave mapper's volume set to 0.
namespace vm {

// The mapper's volume, 0 when it offers no volume control or cannot be read.
uint32_t GetWaveVolume(WaveVolume& wave);
// Sets the volume when the current one can be read; returns the volume read, or 0.
uint32_t SetWaveVolume(WaveVolume& wave, uint32_t volume);

// Reads every mute control that governs wave output, in a fixed order (mixers, destinations,
// sources, controls, each ascending; a control reachable twice in one mixer counts once), and
// returns their states as a mask, bit k for the k-th control. With apply, the k-th control is
// then set to bit k of mask. The mask holds 32 controls: later ones are neither read nor changed.
uint32_t ExchangeMuteStates(Mixers& mixers, uint32_t mask, bool apply);

}  // namespace vm
