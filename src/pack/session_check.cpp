#include "pack/session_check.h"

#include "commands/file_routing.h"
#include "pack/pe_machine.h"
#include "support/file_stream.h"

namespace vm::pack {
namespace {

FileRoute RouteOf(const PackInput& input, bool settingsPass) {
  RoutingPass pass;
  pass.SettingsPass = settingsPass;
  return RouteSessionFile(input.Meta.FileName, input.Meta.GroupName, pass).Route;
}

// The Runner writes the MIDI file of a group into the group's folder like any other file.
bool IsGroupedMidi(const PackInput& input) {
  if (input.Meta.GroupName.empty()) return false;
  PackInput ungrouped = input;
  ungrouped.Meta.GroupName.clear();
  return RouteOf(input, false) == FileRoute::GroupFolder && RouteOf(ungrouped, false) == FileRoute::Midi;
}

struct Part {
  FileRoute Route;
  const char* Name;     // "projector"
  const char* Plural;   // "programs"
  const char* Missing;  // why its absence matters
  const char* Taking;   // what the Runner does with the last one
  const char* Mismatch; // what a machine other than the Runner's means
};

constexpr Part kProjector = {
    FileRoute::Projector, "projector", "programs",
    "an .exe outside any group, which the Runner starts as the projector; without it there is "
    "nothing to play",
    "takes only the last", "the hook library's system-wide hooks reach only programs of their own "
    "bitness, so the movie cannot be embedded or kept in kiosk mode"};
constexpr Part kHookLibrary = {
    FileRoute::HookLibrary, "hook library", "hook libraries",
    "a .dll outside any group, which the Runner loads to embed the movie and carry out its kiosk "
    "options",
    "loads only the last", "a program cannot load a library of another machine"};

std::string Names(const std::vector<const PackInput*>& inputs) {
  std::string names;
  for (const PackInput* input : inputs) names += (names.empty() ? "" : ", ") + input->Path;
  return names;
}

void CheckPart(const std::vector<PackInput>& inputs, const Part& part, const RunnerBase& runner,
               const std::string& where, std::vector<std::string>& warnings) {
  std::vector<const PackInput*> found;
  for (const PackInput& input : inputs)
    if (RouteOf(input, false) == part.Route) found.push_back(&input);
  if (found.empty()) {
    warnings.push_back(where + " has no " + part.Name + ": " + part.Missing);
    return;
  }
  const PackInput& taken = *found.back();
  if (found.size() > 1)
    warnings.push_back(std::to_string(found.size()) + " " + part.Plural + " outside any group (" +
                       Names(found) + "): the Runner " + part.Taking + ", " + taken.Path +
                       "; give the others a group (--group .)");
  FileStream file = FileStream::OpenRead(taken.Path);
  const std::optional<uint16_t> machine = ReadPeMachine(file);
  if (!machine)
    warnings.push_back(taken.Path + ": the " + part.Name + " is no Windows program (it has no MZ "
                       "and PE headers)");
  else if (*machine != runner.Machine)
    warnings.push_back(taken.Path + ": the " + part.Name + " is " + MachineText(*machine) +
                       " and the Runner " + runner.Path + " is " + MachineText(runner.Machine) +
                       ": " + part.Mismatch);
}

}  // namespace

std::vector<std::string> CheckSessionParts(const std::vector<PackInput>& inputs,
                                           const RunnerBase& runner, const std::string& output,
                                           const std::string& session) {
  const std::string where = output + ": session \"" + session + "\"";
  std::vector<std::string> warnings;
  CheckPart(inputs, kProjector, runner, where, warnings);
  CheckPart(inputs, kHookLibrary, runner, where, warnings);
  bool hasSettings = false;
  for (const PackInput& input : inputs)
    hasSettings = hasSettings || RouteOf(input, true) == FileRoute::SettingsFile;
  if (!hasSettings)
    warnings.push_back(where + " has no settings file (.ini): the Runner reads none of the "
                       "movie's settings and plays it with its own defaults");
  for (const PackInput& input : inputs)
    if (IsGroupedMidi(input))
      warnings.push_back(input.Path + ": the Runner plays only a .mid or .rmi outside any group, "
                         "so it never plays this one in the group \"" + input.Meta.GroupName + "\"");
  return warnings;
}

}  // namespace vm::pack
