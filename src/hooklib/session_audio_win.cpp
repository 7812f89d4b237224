#include "hooklib/session_audio_win.h"

#include <mmsystem.h>

#include "engine/shared_block_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/runner_notices_win.h"
#include "sound/mixer_lines_win.h"

namespace vm {
namespace {

constexpr DWORD kSessionPollMs = 250;
// How long a projector's thread waits for the mute, or for the sound to be put back.
constexpr DWORD kMuteWaitMs = 3000;
// Mute controls beyond these stay as they are.
constexpr int kMostMutes = 32;

// The library imports nothing but KERNEL32 and USER32: the mixer functions are looked up in
// winmm.dll, which only a muted projector loads.
struct MixerCalls {
  decltype(&mixerGetNumDevs) GetNumDevs;
  decltype(&mixerOpen) Open;
  decltype(&mixerClose) Close;
  decltype(&mixerGetDevCapsA) GetDevCaps;
  decltype(&mixerGetLineInfoA) GetLineInfo;
  decltype(&mixerGetLineControlsA) GetLineControls;
  decltype(&mixerGetControlDetailsA) GetControlDetails;
  decltype(&mixerSetControlDetails) SetControlDetails;
};

struct FoundMute {
  UINT Mixer;
  DWORD Control;
  BOOL WasMuted;
};

struct SessionAudio {
  HMODULE Winmm;
  MixerCalls Calls;
  FoundMute Mutes[kMostMutes];
  int MuteCount;
  HANDLE Muted;     // set once the mute is in place, or found impossible
  HANDLE Restore;   // set when the movie window goes
  HANDLE Restored;  // set once the mute controls are as they were found
  bool Running;     // the thread that mutes and restores was started
};

LONG g_started = 0;
SessionAudio g_audio = {};

template <typename Procedure>
bool Find(HMODULE module, const char* name, Procedure& procedure) {
  procedure = reinterpret_cast<Procedure>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return procedure != nullptr;
}

bool LoadMixerCalls(HMODULE winmm, MixerCalls& calls) {
  return Find(winmm, "mixerGetNumDevs", calls.GetNumDevs) && Find(winmm, "mixerOpen", calls.Open) &&
         Find(winmm, "mixerClose", calls.Close) && Find(winmm, "mixerGetDevCapsA", calls.GetDevCaps) &&
         Find(winmm, "mixerGetLineInfoA", calls.GetLineInfo) &&
         Find(winmm, "mixerGetLineControlsA", calls.GetLineControls) &&
         Find(winmm, "mixerGetControlDetailsA", calls.GetControlDetails) &&
         Find(winmm, "mixerSetControlDetails", calls.SetControlDetails);
}

// The mute control of an output destination (speakers, headphones and the like; not a recording
// line), if it has one.
bool OutputMuteControl(const MixerCalls& calls, HMIXEROBJ mixer, DWORD destination, DWORD& control) {
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwDestination = destination;
  if (calls.GetLineInfo(mixer, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR ||
      IsRecordingDestination(line.dwComponentType))
    return false;
  MIXERCONTROLA mute = {};
  mute.cbStruct = sizeof mute;
  MIXERLINECONTROLSA controls = {};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof mute;
  controls.pamxctrl = &mute;
  if (calls.GetLineControls(mixer, &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
      MMSYSERR_NOERROR)
    return false;
  control = mute.dwControlID;
  return true;
}

void MuteOutputs(SessionAudio& audio) {
  const MixerCalls& calls = audio.Calls;
  const UINT mixers = calls.GetNumDevs();
  for (UINT id = 0; id < mixers && audio.MuteCount < kMostMutes; ++id) {
    MIXERCAPSA caps = {};
    HMIXER handle = nullptr;
    if (calls.GetDevCaps(id, &caps, sizeof caps) != MMSYSERR_NOERROR ||
        calls.Open(&handle, id, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
      continue;
    const auto mixer = reinterpret_cast<HMIXEROBJ>(handle);
    for (DWORD destination = 0; destination < caps.cDestinations && audio.MuteCount < kMostMutes; ++destination) {
      DWORD control = 0;
      if (!OutputMuteControl(calls, mixer, destination, control)) continue;
      MIXERCONTROLDETAILS_BOOLEAN value = {};
      MIXERCONTROLDETAILS details = OneBooleanDetails(control, value);
      if (calls.GetControlDetails(mixer, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
          MMSYSERR_NOERROR)
        continue;
      audio.Mutes[audio.MuteCount++] = {id, control, value.fValue ? TRUE : FALSE};
      value.fValue = TRUE;
      calls.SetControlDetails(mixer, &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    }
    calls.Close(handle);
  }
}

void RestoreOutputs(const SessionAudio& audio) {
  const MixerCalls& calls = audio.Calls;
  for (int i = 0; i < audio.MuteCount; ++i) {
    const FoundMute& found = audio.Mutes[i];
    HMIXER handle = nullptr;
    if (calls.Open(&handle, found.Mixer, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) continue;
    MIXERCONTROLDETAILS_BOOLEAN value = {found.WasMuted};
    MIXERCONTROLDETAILS details = OneBooleanDetails(found.Control, value);
    calls.SetControlDetails(reinterpret_cast<HMIXEROBJ>(handle), &details,
                            MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    calls.Close(handle);
  }
}

DWORD WINAPI MuteWhileSessionRuns(LPVOID) {
  SessionAudio& audio = g_audio;
  audio.Winmm = LoadLibraryA("winmm.dll");
  const bool mixers = audio.Winmm && LoadMixerCalls(audio.Winmm, audio.Calls);
  if (mixers) MuteOutputs(audio);
  SetEvent(audio.Muted);
  while (WaitForSingleObject(audio.Restore, kSessionPollMs) == WAIT_TIMEOUT && ProjectorBlock()) {
  }
  if (mixers) RestoreOutputs(audio);
  SetEvent(audio.Restored);
  if (audio.Winmm) FreeLibrary(audio.Winmm);
  return 0;
}

bool MixersAreTheProgramsOwn() {
  return LOBYTE(LOWORD(GetVersion())) >= 6;
}

}  // namespace

void MuteProjectorAudioOnce(const SharedBlockView& block) {
  if (!block.IsSet(kBlockMuteSound) || !MixersAreTheProgramsOwn() || InterlockedExchange(&g_started, 1) != 0) return;
  // The thread runs the library's code until the session ends; the library is kept loaded so
  // that it cannot be unloaded under it.
  if (!KeepLibraryLoaded()) return;
  SessionAudio& audio = g_audio;
  audio.Muted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  audio.Restore = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  audio.Restored = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!audio.Muted || !audio.Restore || !audio.Restored) return;
  const HANDLE thread = CreateThread(nullptr, 0, MuteWhileSessionRuns, nullptr, 0, nullptr);
  if (!thread) return;
  CloseHandle(thread);
  audio.Running = true;
  WaitForSingleObject(audio.Muted, kMuteWaitMs);
}

void RestoreProjectorAudioBefore(const SharedBlockView& block, HWND destroyed) {
  const SessionAudio& audio = g_audio;
  if (!audio.Running || destroyed != WindowFromBlock(block.Get(kBlockProjectorWindow))) return;
  SetEvent(audio.Restore);
  WaitForSingleObject(audio.Restored, kMuteWaitMs);
}

}  // namespace vm
