#pragma once

namespace vm {

// Mutes this process's own audio session, once per process. Since Windows Vista the mixer and
// wave-volume services act on the calling program's session only, so the Runner cannot silence
// the projector from outside; inside the projector the session's simple volume can be muted on
// every system from Vista on (and under Wine). Before Vista there is no such session, and the
// Runner's machine-wide mute does the work. COM runs on a thread of its own, so the projector's
// threads keep whatever apartment they chose; the libraries it needs are loaded only here.
void MuteOwnAudioSessionOnce() noexcept;

}  // namespace vm
