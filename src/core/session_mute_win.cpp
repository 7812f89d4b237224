#include "core/session_mute_win.h"

#include <windows.h>

#include <optional>
#include <string>

#include "config/registry_preferences_win.h"
#include "sound/mixer.h"
#include "sound/mute_record.h"
#include "sound/wave_mute.h"
#include "support/trace.h"
#include "support/win_handles.h"

namespace vm {
namespace {

constexpr char kMuteMutexName[] = "VardelMossantMuteRecord";
constexpr char kSavedValue[] = "MuteSaved";
constexpr char kHoldersValue[] = "MuteHolders";
constexpr uint32_t kMuteEveryControl = 0xFFFFFFFFu;
// A Runner holds the record for a few mixer calls; one that takes longer is stuck, and the record
// is better used than the sound left alone.
constexpr DWORD kRecordWaitMs = 5000;

uint64_t CreationTimeOf(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return static_cast<uint64_t>(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

MuteHolder Self() { return {GetCurrentProcessId(), CreationTimeOf(GetCurrentProcess())}; }

// Process ids are reused: a holder is live only while a process of its id and creation time runs.
bool IsLive(const MuteHolder& holder) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, holder.ProcessId));
  DWORD code = 0;
  return process && GetExitCodeProcess(process.get(), &code) && code == STILL_ACTIVE &&
         CreationTimeOf(process.get()) == holder.CreationTime;
}

void Restore(const SavedSoundStates& states) {
  ExchangeMuteStates(SystemMixers(), states.MuteStates, true);
  SetWaveVolume(SystemWaveVolume(), states.WaveVolume);
}

// Writes one of the shared record's values, or removes it (value null) once the record is empty:
// a machine that no Runner mutes keeps no trace of it. A profile whose registry is locked refuses
// the write: that is traced, and the sound is muted or restored all the same.
void StoreRecordValue(const std::string& keyPath, const char* name, const std::string* value) {
  HKEY raw = nullptr;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_SET_VALUE, nullptr, &raw, nullptr);
  if (status == ERROR_SUCCESS) {
    const UniqueKey key(raw);
    status = value ? RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                                    static_cast<DWORD>(value->size() + 1))
                   : RegDeleteValueA(key.get(), name);
  }
  if (status != ERROR_SUCCESS && !(value == nullptr && status == ERROR_FILE_NOT_FOUND))
    Trace("mute: ", name, " not stored (error ", status, ")");
}

// The shared record, read under the mutex. Commit writes it back, and only what changed: a
// Runner that neither mutes nor restores writes nothing.
class HeldRecord {
 public:
  HeldRecord() : mutex_(CreateMutexA(nullptr, FALSE, kMuteMutexName)), store_("") {
    const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.get(), kRecordWaitMs) : WAIT_FAILED;
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (!owned_) Trace("mute: the shared record is busy; using it unguarded");
    savedText_ = store_.ReadString(kSavedValue);
    holdersText_ = store_.ReadString(kHoldersValue);
    Record.Saved = ParseSavedStates(savedText_.value_or(""));
    Record.Holders = ParseHolders(holdersText_.value_or(""));
  }
  ~HeldRecord() {
    if (owned_) ReleaseMutex(mutex_.get());
  }
  HeldRecord(const HeldRecord&) = delete;
  HeldRecord& operator=(const HeldRecord&) = delete;

  void Commit() {
    if (!Record.Saved && Record.Holders.empty()) {
      if (savedText_) StoreRecordValue(store_.KeyPath(), kSavedValue, nullptr);
      if (holdersText_) StoreRecordValue(store_.KeyPath(), kHoldersValue, nullptr);
      return;
    }
    const std::string saved = FormatSavedStates(Record.Saved);
    const std::string holders = FormatHolders(Record.Holders);
    if (saved != savedText_) StoreRecordValue(store_.KeyPath(), kSavedValue, &saved);
    if (holders != holdersText_) StoreRecordValue(store_.KeyPath(), kHoldersValue, &holders);
  }

  MuteRecord Record;

 private:
  UniqueHandle mutex_;
  RegistryPreferenceStore store_;
  bool owned_ = false;
  std::optional<std::string> savedText_, holdersText_;  // as read; nothing when missing
};

}  // namespace

void SessionMute::RestoreAbandoned() {
  bool restored = false;
  {
    HeldRecord held;
    if (const std::optional<SavedSoundStates> states = TakeAbandonedStates(held.Record, IsLive)) {
      Restore(*states);
      restored = true;
    }
    held.Commit();
  }
  if (restored) Trace("mute: restored the sound that an ended Runner left muted");
}

// The trace lines follow the record's writing: what they report is on record then.
void SessionMute::Begin() {
  bool first = false;
  {
    HeldRecord held;
    if (const std::optional<SavedSoundStates> states = TakeAbandonedStates(held.Record, IsLive)) Restore(*states);
    first = BeginMute(held.Record, Self(), IsLive);
    const uint32_t volume = GetWaveVolume(SystemWaveVolume());
    const uint32_t mutes = ExchangeMuteStates(SystemMixers(), kMuteEveryControl, true);
    SetWaveVolume(SystemWaveVolume(), 0);
    if (first) held.Record.Saved = SavedSoundStates{mutes, volume};
    held.Commit();
  }
  begun_ = true;
  Trace(first ? "mute: the sound is muted" : "mute: the sound is muted, as another Runner had it");
}

void SessionMute::End() {
  if (!begun_) return;
  begun_ = false;
  bool restored = false;
  {
    HeldRecord held;
    if (const std::optional<SavedSoundStates> states = EndMute(held.Record, Self(), IsLive)) {
      Restore(*states);
      restored = true;
    }
    held.Commit();
  }
  Trace(restored ? "mute: the sound is restored" : "mute: the sound stays muted for another Runner");
}

}  // namespace vm
