#pragma once

#include <windows.h>

#include "engine/shared_block.h"

namespace vm {

// From Windows Vista on, the mixer controls that the Runner mutes are those of the calling
// program's own audio session: the Runner's, while the projector plays through its own. So when
// the block asks for the sound to be muted, the projector's output mixers are muted from inside
// it, once per process, on a thread of the library's own, and put back as they were found when
// the movie window goes (or the session ends without it). The first projector event waits until
// the mute is in place, so that the movie never begins loud. Before Vista the mixers are the
// machine's, which the Runner mutes itself, and nothing happens here.
void MuteProjectorAudioOnce(const SharedBlockView& block);

// The window is being destroyed: when it is the block's movie window and this process muted its
// sound, the sound is put back before the window goes. Windows keeps a program's session mute
// for its next run, and a projector ends as soon as its window has gone.
void RestoreProjectorAudioBefore(const SharedBlockView& block, HWND destroyed);

}  // namespace vm
