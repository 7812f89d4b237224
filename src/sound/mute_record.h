#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The machine's sound states while Runners mute it, shared by every Runner of the user: the first
// Runner to mute saves what it found, the last one to end puts it back, and a Runner that finds
// states saved by Runners that are all gone (they crashed) puts them back first.
namespace vm {

// A Runner process, known by its id and its creation time (ids are reused).
struct MuteHolder {
  uint32_t ProcessId = 0;
  uint64_t CreationTime = 0;
  bool operator==(const MuteHolder& other) const {
    return ProcessId == other.ProcessId && CreationTime == other.CreationTime;
  }
};

struct SavedSoundStates {
  uint32_t MuteStates = 0;
  uint32_t WaveVolume = 0;
};

struct MuteRecord {
  std::optional<SavedSoundStates> Saved;  // what the machine had before the first Runner muted it
  std::vector<MuteHolder> Holders;        // the Runners muting it now
};

// The record as text, for a store of strings: "MUTES VOLUME" and "PID.CREATION;PID.CREATION".
std::string FormatSavedStates(const std::optional<SavedSoundStates>& saved);
std::optional<SavedSoundStates> ParseSavedStates(const std::string& text);
std::string FormatHolders(const std::vector<MuteHolder>& holders);
// Malformed entries are dropped: a holder that cannot be read holds nothing.
std::vector<MuteHolder> ParseHolders(const std::string& text);

using IsLiveHolder = std::function<bool(const MuteHolder&)>;

// Drops the holders that are gone. Returns the saved states when nobody holds them any more:
// the caller restores them, and the record is then empty.
std::optional<SavedSoundStates> TakeAbandonedStates(MuteRecord& record, const IsLiveHolder& isLive);

// A Runner is about to mute: true when it is the first, so it must save what it finds (the
// caller then sets record.Saved). It is added to the holders either way.
bool BeginMute(MuteRecord& record, const MuteHolder& self, const IsLiveHolder& isLive);

// A Runner's session ends: returns the states to restore when it was the last live holder, and
// empties the record then.
std::optional<SavedSoundStates> EndMute(MuteRecord& record, const MuteHolder& self,
                                        const IsLiveHolder& isLive);

}  // namespace vm
