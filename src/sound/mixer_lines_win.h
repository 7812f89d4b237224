#pragma once

#include <windows.h>
#include <mmsystem.h>

// Shared by the Runner's sound code, the hook library (which carries no runtime: these are
// plain inline functions) and the stand-in, so that all three take the same lines for outputs
// and set a mute alike.
namespace vm {

// A destination that records (wave-in, voice-in) rather than plays.
constexpr bool IsRecordingDestination(DWORD componentType) {
  return componentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN || componentType == MIXERLINE_COMPONENTTYPE_DST_VOICEIN;
}

// One boolean for one channel: the control then acts on all channels alike.
inline MIXERCONTROLDETAILS OneBooleanDetails(DWORD control, MIXERCONTROLDETAILS_BOOLEAN& value) {
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control;
  details.cChannels = 1;
  details.cbDetails = sizeof value;
  details.paDetails = &value;
  return details;
}

}  // namespace vm
