#include "hooklib/audio_session_win.h"

#include <windows.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>

namespace vm {
namespace {

// The library links no uuid library: the identifiers it needs, as the system defines them.
constexpr GUID kMMDeviceEnumerator = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr GUID kIMMDeviceEnumerator = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr GUID kIAudioSessionManager = {0xBFA971F1, 0x4D5E, 0x40BB, {0x93, 0x5E, 0x96, 0x70, 0x39, 0xBF, 0xBE, 0xE7}};

using CoInitializeExProc = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeProc = void(WINAPI*)();
using CoCreateInstanceProc = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);

LONG g_started = 0;

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// The process's default session on the default playback device, muted.
void MuteDefaultSession(CoCreateInstanceProc coCreateInstance) {
  IMMDeviceEnumerator* devices = nullptr;
  IMMDevice* device = nullptr;
  IAudioSessionManager* sessions = nullptr;
  ISimpleAudioVolume* volume = nullptr;
  if (SUCCEEDED(coCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, kIMMDeviceEnumerator,
                                 reinterpret_cast<void**>(&devices))) &&
      SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device)) &&
      SUCCEEDED(device->Activate(kIAudioSessionManager, CLSCTX_INPROC_SERVER, nullptr,
                                 reinterpret_cast<void**>(&sessions))) &&
      SUCCEEDED(sessions->GetSimpleAudioVolume(nullptr, FALSE, &volume)))
    volume->SetMute(TRUE, nullptr);
  Release(volume);
  Release(sessions);
  Release(device);
  Release(devices);
}

DWORD WINAPI MuteThread(LPVOID) {
  const HMODULE ole = LoadLibraryA("ole32.dll");
  if (ole == nullptr) return 0;
  // Through void*: the exports' real types are only known by name.
  const auto coInitializeEx = reinterpret_cast<CoInitializeExProc>(
      reinterpret_cast<void*>(GetProcAddress(ole, "CoInitializeEx")));
  const auto coUninitialize = reinterpret_cast<CoUninitializeProc>(
      reinterpret_cast<void*>(GetProcAddress(ole, "CoUninitialize")));
  const auto coCreateInstance = reinterpret_cast<CoCreateInstanceProc>(
      reinterpret_cast<void*>(GetProcAddress(ole, "CoCreateInstance")));
  if (coInitializeEx && coUninitialize && coCreateInstance &&
      SUCCEEDED(coInitializeEx(nullptr, COINIT_MULTITHREADED))) {
    MuteDefaultSession(coCreateInstance);
    coUninitialize();
  }
  // ole32 stays loaded: the session it muted lives in the process.
  return 0;
}

}  // namespace

void MuteOwnAudioSessionOnce() noexcept {
  if (InterlockedCompareExchange(&g_started, 1, 0) != 0) return;
  const HANDLE thread = CreateThread(nullptr, 0, MuteThread, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

}  // namespace vm
