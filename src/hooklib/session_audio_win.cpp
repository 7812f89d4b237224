#include "hooklib/session_audio_win.h"

#include <windows.h>

#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include "hooklib/hook_session_win.h"
#include "hooklib/runner_notices_win.h"

namespace vm {
namespace {

// The library links no uuid library: the identifiers are spelled out.
constexpr GUID kDeviceEnumeratorClass = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr GUID kDeviceEnumeratorInterface = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr GUID kSessionManagerInterface = {0xBFA971F1, 0x4D5E, 0x40BB, {0x93, 0x5E, 0x96, 0x70, 0x39, 0xBF, 0xBE, 0xE4}};
constexpr DWORD kSessionPollMs = 250;

using CoInitializeExProc = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoCreateInstanceProc = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using CoUninitializeProc = void(WINAPI*)();

LONG g_started = 0;

template <typename Interface>
void Release(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

// The simple volume of this process's session on the default output device, or null.
ISimpleAudioVolume* OpenSessionVolume(CoCreateInstanceProc createInstance) {
  IMMDeviceEnumerator* devices = nullptr;
  IMMDevice* device = nullptr;
  IAudioSessionManager* sessions = nullptr;
  ISimpleAudioVolume* volume = nullptr;
  if (SUCCEEDED(createInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_INPROC_SERVER, kDeviceEnumeratorInterface,
                               reinterpret_cast<void**>(&devices))) &&
      SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device)) &&
      SUCCEEDED(device->Activate(kSessionManagerInterface, CLSCTX_INPROC_SERVER, nullptr,
                                 reinterpret_cast<void**>(&sessions))) &&
      FAILED(sessions->GetSimpleAudioVolume(nullptr, FALSE, &volume)))
    volume = nullptr;
  Release(sessions);
  Release(device);
  Release(devices);
  return volume;
}

DWORD WINAPI MuteWhileSessionRuns(LPVOID) {
  const HMODULE ole = LoadLibraryA("ole32.dll");
  if (!ole) return 0;
  const auto initialize = reinterpret_cast<CoInitializeExProc>(reinterpret_cast<void*>(GetProcAddress(ole, "CoInitializeEx")));
  const auto createInstance =
      reinterpret_cast<CoCreateInstanceProc>(reinterpret_cast<void*>(GetProcAddress(ole, "CoCreateInstance")));
  const auto uninitialize = reinterpret_cast<CoUninitializeProc>(reinterpret_cast<void*>(GetProcAddress(ole, "CoUninitialize")));
  if (initialize && createInstance && uninitialize && SUCCEEDED(initialize(nullptr, COINIT_MULTITHREADED))) {
    if (ISimpleAudioVolume* volume = OpenSessionVolume(createInstance)) {
      volume->SetMute(TRUE, nullptr);
      while (ProjectorBlock()) Sleep(kSessionPollMs);
      volume->SetMute(FALSE, nullptr);
      Release(volume);
    }
    uninitialize();
  }
  FreeLibrary(ole);
  return 0;
}

}  // namespace

void MuteProjectorAudioOnce(const SharedBlockView& block) {
  if (!block.IsSet(kBlockMuteSound) || InterlockedExchange(&g_started, 1) != 0) return;
  // The thread runs the library's code until the session ends; the library is kept loaded so
  // that it cannot be unloaded under it.
  if (!KeepLibraryLoaded()) return;
  const HANDLE thread = CreateThread(nullptr, 0, MuteWhileSessionRuns, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

}  // namespace vm
