#include "sound/mute_record.h"

#include <algorithm>
#include <sstream>

namespace vm {
namespace {

void DropGone(MuteRecord& record, const IsLiveHolder& isLive) {
  record.Holders.erase(std::remove_if(record.Holders.begin(), record.Holders.end(),
                                      [&](const MuteHolder& h) { return !isLive(h); }),
                       record.Holders.end());
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
  std::istringstream in(text);
  unsigned long long mutes = 0, volume = 0;
  std::string rest;
  if (!(in >> mutes >> volume) || (in >> rest) || mutes > UINT32_MAX || volume > UINT32_MAX)
    return std::nullopt;
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
  std::istringstream in(text);
  std::string entry;
  while (std::getline(in, entry, ';')) {
    std::istringstream fields(entry);
    unsigned long long pid = 0, creation = 0;
    char dot = 0;
    std::string rest;
    if ((fields >> pid >> dot >> creation) && dot == '.' && !(fields >> rest) && pid <= UINT32_MAX)
      holders.push_back({static_cast<uint32_t>(pid), creation});
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
