#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "commands/file_names.h"
#include "config/program_name.h"
#include "commands/file_routing.h"
#include "config/password_hash.h"
#include "pack/arguments.h"
#include "pack/code_page.h"
#include "pack/commands.h"
#include "pack/host_files.h"
#include "pack/identity_options.h"
#include "pack/pack_inputs.h"
#include "pack/program_identity.h"
#include "pack/replacement_file.h"
#include "pack/runner_check.h"
#include "pack/session_check.h"
#include "pack/settings_check.h"
#include "pack/settings_password.h"
#include "pack/terminal_progress.h"
#include "pack/version.h"
#include "payload/payload_writer.h"
#include "payload/session_lookup.h"
#include "support/errors.h"
#include "support/paths.h"

namespace vm::pack {
namespace {

constexpr size_t kCopyBlockSize = 1 << 16;

constexpr char kHelp[] =
    "Usage: vmpack build --runner RUNNER.exe -o OUT.exe [OPTION]... [--group GROUP] FILE...\n"
    "       vmpack build --append -o OUT.exe [OPTION]... [--group GROUP] FILE...\n"
    "\n"
    "Copies RUNNER.exe to OUT.exe and appends one session holding the FILEs in the order\n"
    "given, each under its own base name. Sessions already in RUNNER.exe are kept.\n"
    "OUT.exe is replaced only once it is complete; on any error it stays as it was.\n"
    "RUNNER.exe (or OUT.exe with --append) must be a Runner of Vardel Mossant: a Windows\n"
    "program with the Runner's dialogs SETUP_DIALOG and PW_DIALOG and its icon MAINICON.\n"
    "Names the Runner cannot write safely are refused. Each file's part is decided as the\n"
    "Runner decides it, and what the Runner would do otherwise than meant is warned about:\n"
    "no projector (an .exe outside any group), hook library (a .dll outside any group) or\n"
    "settings file (.ini), more than one of them (the Runner takes the last), a projector\n"
    "or hook library that is not a Windows program or not of the Runner's machine (32 or\n"
    "64 bits), a MIDI file in a group (the Runner plays only an ungrouped one) or muted by\n"
    "Midi=1, and files of the same name. The settings file is read as the Runner reads it:\n"
    "unknown sections and keys, values that do not convert or that a boolean ignores, a\n"
    "password without a check value, and FullScreen=1 with CustomSize=1.\n"
    "\n"
    "Options:\n"
    "  --runner RUNNER.exe   the Runner to copy\n"
    "  -o, --output OUT.exe  the executable to write\n"
    "  --append              add the session to OUT.exe as it is, instead of to a Runner\n"
    "  --session NAME        the session's name, 1 to 63 bytes (default Session1);\n"
    "                        it must not be in use already\n"
    "  --group GROUP         the group of the FILEs after it, up to the next --group;\n"
    "                        --group \"\" gives them none\n"
    "  --password TEXT       lock the movie: sets Password=1 and the check value of TEXT\n"
    "                        in the packed copy of the settings file; an empty or blank\n"
    "                        TEXT is a usage error\n"
    "  --codepage N          the code page of the users' Windows, in which names and the\n"
    "                        password are stored (default 1252; 1250 to 1258, 932, 936,\n"
    "                        949, 950)\n"
    "  --strict              refuse to build when there is any warning\n"
    "  -h, --help            show this help\n"
    "\n"
    "The program's identity in Explorer and the Task Manager, written into OUT.exe only\n"
    "(they need --runner and a Runner that holds no sessions yet, and an unsigned one):\n"
    "  --icon FILE.ico       the program's icon: every image of FILE.ico, PNG ones too\n"
    "                        (at most 256)\n"
    "  --product NAME        ProductName\n"
    "  --company NAME        CompanyName\n"
    "  --description TEXT    FileDescription\n"
    "  --copyright TEXT      LegalCopyright\n"
    "  --version A.B.C.D     FileVersion and ProductVersion, texts and numbers; four\n"
    "                        numbers from 0 to 65535\n"
    "Texts not given keep the Runner's; each takes up to 1024 UTF-16 units.\n";

struct FileOperand {
  std::string Path;
  std::string Group;
};

struct BuildRequest {
  std::optional<std::string> Runner;
  std::string Output;
  std::string Session = kRunnerSession;
  bool Append = false;
  bool Strict = false;
  std::optional<std::string> Password;
  std::vector<FileOperand> Files;
};

// Blanks and control characters around a password do not count, so a blank one has the empty
// password's check value; so has any other that would open the movie with nothing typed.
bool IsBlankPassword(const std::string& password) {
  RandomGenerator rng;
  return PasswordHash(password, true, rng) == PasswordHash("", true, rng);
}

BuildRequest ReadRequest(const std::vector<ArgumentItem>& items) {
  BuildRequest request;
  request.Runner = SingleValue(items, "--runner");
  request.Append = HasOption(items, "--append");
  request.Session = SingleValue(items, "--session").value_or(kRunnerSession);
  request.Strict = HasOption(items, "--strict");
  request.Password = SingleValue(items, "--password");
  std::optional<std::string> output = SingleValue(items, "--output");
  if (!output) throw UsageError("missing -o OUT.exe");
  request.Output = *output;
  if (request.Output.empty() || (request.Runner && request.Runner->empty()))
    throw UsageError("an empty path for RUNNER.exe or OUT.exe");
  if (request.Append && request.Runner)
    throw UsageError("--runner and --append exclude each other: --append adds to OUT.exe");
  if (!request.Append && !request.Runner) throw UsageError("missing --runner RUNNER.exe");
  if (request.Session.empty()) throw UsageError("--session needs a name, 1 to 63 bytes");
  if (request.Password && IsBlankPassword(*request.Password))
    throw UsageError("--password needs a password: an empty or blank one (blanks and control "
                     "characters do not count) would open the movie to anyone");

  std::string group;
  bool groupUsed = true;
  for (const auto& item : items) {
    if (item.Option == "--group") {
      group = item.Value;
      groupUsed = false;
    } else if (item.Option.empty()) {
      if (item.Value.empty()) throw UsageError("an empty path for FILE");
      request.Files.push_back({item.Value, group});
      groupUsed = true;
    }
  }
  if (request.Files.empty()) throw UsageError("no FILE to pack");
  if (!groupUsed) throw UsageError("no FILE follows --group \"" + group + "\"");
  return request;
}

void CheckSessionName(const std::string& stored, const std::string& given) {
  if (stored.size() > kMaxSessionNameLength)
    throw Exception("Session name is longer than " + std::to_string(kMaxSessionNameLength) +
                    " bytes: " + given);
}

// What a session holds besides its files' bytes: the packed copy of the settings file when
// --password changed it, and the warnings about it.
struct SessionPlan {
  std::map<size_t, std::string> ReplacedBytes;  // by input index
  std::vector<std::string> Warnings;
};

bool IsSettingsFile(const PackInput& input) {
  RoutingPass pass;
  pass.SettingsPass = true;
  return RouteSessionFile(input.Meta.FileName, input.Meta.GroupName, pass).Route ==
         FileRoute::SettingsFile;
}

bool IsMidiFile(const PackInput& input) {
  return RouteSessionFile(input.Meta.FileName, input.Meta.GroupName, RoutingPass()).Route ==
         FileRoute::Midi;
}

// The Runner writes files lower-cased (A to Z), and "." is the instance directory as no group is.
std::string Destination(const PackInput& input) {
  const std::string group = input.Meta.GroupName == "." ? "" : input.Meta.GroupName;
  return LowerAsciiLetters(group) + '\0' + LowerAsciiLetters(input.Meta.FileName);
}

std::string ReadText(const std::string& path) {
  FileStream file = FileStream::OpenRead(path);
  std::string text(static_cast<size_t>(file.Size()), '\0');
  file.ReadBuffer(text.data(), text.size());
  return text;
}

SessionPlan PlanSession(const BuildRequest& request, std::vector<PackInput>& inputs,
                        const CodePage& codePage, const RunnerBase& runner) {
  SessionPlan plan;
  plan.Warnings = CheckSessionParts(inputs, runner, request.Output, request.Session);
  // The Runner names its preference key after its own file name, which the user's Windows holds
  // in its code page; the registry holds no longer key name, and the Runner cuts it.
  const std::string output = FullPath(request.Output);
  const std::string programName =
      DeriveProgramName(codePage.FromHostLenient(output.substr(output.find_last_of(kPathDelimiter) + 1)),
                        codePage.LeadBytes());
  if (programName.size() > kLongestPreferenceSection)
    plan.Warnings.push_back(request.Output + ": its name is over " + std::to_string(kLongestPreferenceSection) +
                            " bytes without \".exe\", too long for a registry key: the Runner keeps its "
                            "preferences under the first " +
                            std::to_string(kLongestPreferenceSection - 9) + " bytes and a checksum of the name");
  std::map<std::string, const PackInput*> byDestination;
  std::vector<size_t> settingsFiles;
  for (size_t i = 0; i < inputs.size(); ++i) {
    auto [first, isNew] = byDestination.emplace(Destination(inputs[i]), &inputs[i]);
    if (!isNew)
      plan.Warnings.push_back(inputs[i].Path + ": the Runner writes it over " + first->second->Path +
                              ", which has the same name");
    if (IsSettingsFile(inputs[i])) settingsFiles.push_back(i);
  }
  if (settingsFiles.empty()) {
    if (request.Password)
      throw Exception("--password needs a settings file (.ini) in the session, to hold the "
                      "password's check value");
    return plan;
  }
  const size_t settingsIndex = settingsFiles.back();
  const PackInput& settingsInput = inputs[settingsIndex];
  if (settingsFiles.size() > 1) {
    std::string names;
    for (size_t i : settingsFiles) names += (names.empty() ? "" : ", ") + inputs[i].Path;
    plan.Warnings.push_back(std::to_string(settingsFiles.size()) + " settings files (" + names +
                            "): the Runner reads only the last, " + settingsInput.Path);
  }

  std::string text = ReadText(settingsInput.Path);
  if (request.Password) {
    RandomGenerator rng;
    const uint32_t checkValue =
        PasswordHash(codePage.FromHost(*request.Password, "The password"), true, rng);
    text = WithPassword(text, checkValue);
    plan.ReplacedBytes[settingsIndex] = text;
    inputs[settingsIndex].Size = static_cast<int64_t>(text.size());
  }
  const SettingsCheck check = CheckSettingsText(text);
  for (const SettingsWarning& warning : check.Warnings)
    plan.Warnings.push_back(WarningText(settingsInput.Path, warning));
  const TOptionState& midi = check.Settings.Midi;
  if (!midi.UserChoice && midi.Value) {
    for (const PackInput& input : inputs)
      if (IsMidiFile(input))
        plan.Warnings.push_back(settingsInput.Path + ": Midi=1 mutes the MIDI music, so the "
                                "Runner leaves out " + input.Path);
  }
  return plan;
}

FileStream OpenBase(const std::string& path, bool append) {
  switch (KindOf(path)) {
    case PathKind::Missing:
      throw Exception(append ? "Cannot append to " + path + ": file not found"
                             : "Runner not found: " + path);
    case PathKind::File:
      return FileStream::OpenRead(path);
    case PathKind::Directory:
    case PathKind::Other:
      break;
  }
  throw Exception("Not a regular file: " + path);
}

// The Runner unpacks the newest session of a name, so a second one would hide the first.
void RefuseTakenSessionName(FileStream& base, const std::string& stored, const std::string& given) {
  for (const TrailerAt& session : ListSessions(base, true)) {
    if (session.Trailer.SessionName == stored)
      throw Exception(base.Path() + " already holds a session named \"" + given + "\"");
  }
}

// The sessions of a payload record where they start as file offsets, so the Runner's bytes
// before them must stay as they are.
void RefuseIdentityOnSessions(FileStream& base) {
  if (!ListSessions(base, true).empty())
    throw UsageError(base.Path() + " already holds sessions, which lie at fixed offsets after "
                     "the Runner's bytes: give --icon and the version options with a Runner that "
                     "holds none");
}

std::string ReadWhole(FileStream& from) {
  std::string bytes(static_cast<size_t>(from.Size()), '\0');
  from.Seek(0);
  from.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

void CopyWhole(FileStream& from, FileStream& to) {
  std::unique_ptr<uint8_t[]> block(new uint8_t[kCopyBlockSize]);
  from.Seek(0);
  while (size_t got = from.Read(block.get(), kCopyBlockSize)) to.WriteBuffer(block.get(), got);
}

void WriteSession(FileStream& out, const BuildRequest& request, const std::string& storedSession,
                  const std::vector<PackInput>& inputs, const SessionPlan& plan,
                  Console& console) {
  int64_t total = 0;
  for (const auto& input : inputs) total += input.Size;
  TerminalProgress progress(console.Err, console.ErrIsTerminal, "Packing");
  const PackInput* current = nullptr;

  PayloadWriter writer(out, BuilderText());
  writer.OnProgress = [&](int64_t done) { progress.Update(done, total, current->Meta.FileName); };
  writer.BeginSession(storedSession);
  for (size_t i = 0; i < inputs.size(); ++i) {
    const PackInput& input = inputs[i];
    current = &input;
    try {
      FileStream data = FileStream::OpenRead(input.Path);
      FilePrefix meta = input.Meta;
      meta.LastWriteTime = data.LastWriteTime();
      auto replaced = plan.ReplacedBytes.find(i);
      if (replaced != plan.ReplacedBytes.end())
        writer.AddFile(meta, replaced->second);
      else
        writer.AddFile(meta, data);
    } catch (const Exception& e) {
      throw Exception("Cannot pack " + input.Path + " into " + request.Output + ": " + e.what());
    }
  }
  try {
    writer.EndSession();
  } catch (const Exception& e) {
    throw Exception("Cannot write " + request.Output + ": " + e.what());
  }
}

}  // namespace

int RunBuild(const std::vector<std::string>& args, Console& console) {
  std::vector<KnownOption> options = {{"--runner", "", true},
                                      {"--output", "-o", true},
                                      {"--session", "", true},
                                      {"--group", "", true},
                                      {"--append", "", false},
                                      {"--password", "", true},
                                      {"--strict", "", false},
                                      kCodePageOption,
                                      kHelpOption};
  options.insert(options.end(), kIdentityOptions.begin(), kIdentityOptions.end());
  const std::vector<ArgumentItem> items = ParseArguments(args, options);
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const BuildRequest request = ReadRequest(items);
  if (request.Runner && SameFile(*request.Runner, request.Output))
    throw UsageError("-o names the Runner itself (" + *request.Runner + "): write the built "
                     "program to another file");
  const bool changesIdentity =
      std::any_of(kIdentityOptions.begin(), kIdentityOptions.end(),
                  [&](const KnownOption& option) { return HasOption(items, option.LongName); });
  if (changesIdentity && request.Append)
    throw UsageError("--icon and the version options need --runner: the sessions already in "
                     "OUT.exe lie at fixed offsets after the Runner's bytes");
  const ProgramIdentity identity = ReadIdentity(items);
  const CodePage codePage = CodePage::FromOption(SingleValue(items, kCodePageOption.LongName));
  const std::string storedSession = codePage.FromHost(request.Session, "The session name");
  CheckSessionName(storedSession, request.Session);
  std::vector<PackInput> inputs;
  for (const auto& file : request.Files)
    inputs.push_back(DescribeInput(file.Path, file.Group, codePage));

  const std::string basePath = request.Append ? request.Output : *request.Runner;
  FileStream base = OpenBase(basePath, request.Append);
  const RunnerBase runner{basePath, CheckRunner(base)};
  RefuseTakenSessionName(base, storedSession, request.Session);
  std::optional<std::string> identified;
  if (!identity.Empty()) {
    RefuseIdentityOnSessions(base);
    identified = WithIdentity(ReadWhole(base), basePath, identity);
  }
  const SessionPlan plan = PlanSession(request, inputs, codePage, runner);
  for (const std::string& warning : plan.Warnings) console.Err << "vmpack: warning: " << warning << "\n";
  if (request.Strict && !plan.Warnings.empty())
    throw Exception("Not built, since --strict refuses warnings: " +
                    std::to_string(plan.Warnings.size()) +
                    (plan.Warnings.size() == 1 ? " warning" : " warnings"));

  ReplacementFile result(request.Output);
  try {
    if (identified)
      result.Stream().WriteBuffer(identified->data(), identified->size());
    else
      CopyWhole(base, result.Stream());
  } catch (const EStreamError& e) {
    throw Exception("Cannot copy " + basePath + " to " + request.Output + ": " + e.what());
  }
  // Windows refuses to rename over a file that is open, and when appending the base is OUT.
  base.Close();
  WriteSession(result.Stream(), request, storedSession, inputs, plan, console);
  result.Commit(basePath);

  console.Out << "Wrote " << request.Output << ": session \"" << request.Session << "\", "
              << inputs.size() << (inputs.size() == 1 ? " file\n" : " files\n");
  return kExitSuccess;
}

}  // namespace vm::pack
