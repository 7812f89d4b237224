#include "sound/mute_record.h"

#include <algorithm>

namespace vm {
namespace {

void DropGone(MuteRecord& record, const IsLiveHolder& isLive) {
  record.Holders.erase(std::remove_if(record.Holders.begin(), record.Holders.end(),
                                      [&](const MuteHolder& h) { return !isLive(h); }),
                       record.Holders.end());
}

// Reads the decimal number at text[at], at least one digit and at most limit, and moves past it.
// Written out rather than read through a string stream, which would bring the library's locales
// into the Runner.
bool ReadDecimal(const std::string& text, size_t& at, uint64_t limit, uint64_t& value) {
  const size_t start = at;
  value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const uint64_t digit = static_cast<uint64_t>(text[at] - '0');
    if (value > (limit - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return at > start;
}

// The whole of text is two numbers with the separator between them.
bool ReadPair(const std::string& text, char separator, uint64_t firstLimit, uint64_t& first, uint64_t& second) {
  size_t at = 0;
  return ReadDecimal(text, at, firstLimit, first) && at < text.size() && text[at++] == separator &&
         ReadDecimal(text, at, UINT64_MAX, second) && at == text.size();
}

std::optional<SavedSoundStates> TakeSavedWhenUnheld(MuteRecord& record) {
  if (!record.Holders.empty()) return std::nullopt;
  std::optional<SavedSoundStates> saved = record.Saved;
  record.Saved.reset();
  return saved;
}

}  // namespace

std::string FormatSavedStates(const std::optional<SavedSoundStates>& saved) {
  return saved ? std::to_string(saved->MuteStates) + " " + std::to_string(saved->WaveVolume) : "";
}

std::optional<SavedSoundStates> ParseSavedStates(const std::string& text) {
  uint64_t mutes = 0, volume = 0;
  if (!ReadPair(text, ' ', UINT32_MAX, mutes, volume) || volume > UINT32_MAX) return std::nullopt;
  return SavedSoundStates{static_cast<uint32_t>(mutes), static_cast<uint32_t>(volume)};
}

std::string FormatHolders(const std::vector<MuteHolder>& holders) {
  std::string text;
  for (const MuteHolder& h : holders) {
    if (!text.empty()) text += ';';
    text += std::to_string(h.ProcessId) + "." + std::to_string(h.CreationTime);
  }
  return text;
}

std::vector<MuteHolder> ParseHolders(const std::string& text) {
  std::vector<MuteHolder> holders;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    uint64_t pid = 0, creation = 0;
    if (ReadPair(text.substr(start, end - start), '.', UINT32_MAX, pid, creation))
      holders.push_back({static_cast<uint32_t>(pid), creation});
    start = end + 1;
  }
  return holders;
}

std::optional<SavedSoundStates> TakeAbandonedStates(MuteRecord& record, const IsLiveHolder& isLive) {
  DropGone(record, isLive);
  return TakeSavedWhenUnheld(record);
}

bool BeginMute(MuteRecord& record, const MuteHolder& self, const IsLiveHolder& isLive) {
  DropGone(record, isLive);
  const bool first = record.Holders.empty();
  if (std::find(record.Holders.begin(), record.Holders.end(), self) == record.Holders.end())
    record.Holders.push_back(self);
  return first;
}

std::optional<SavedSoundStates> EndMute(MuteRecord& record, const MuteHolder& self,
                                        const IsLiveHolder& isLive) {
  record.Holders.erase(std::remove(record.Holders.begin(), record.Holders.end(), self), record.Holders.end());
  DropGone(record, isLive);
  return TakeSavedWhenUnheld(record);
}

}  // namespace vm
