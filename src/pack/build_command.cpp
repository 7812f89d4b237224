#include <memory>
#include <optional>

#include "pack/arguments.h"
#include "pack/commands.h"
#include "pack/host_files.h"
#include "pack/pack_inputs.h"
#include "pack/replacement_file.h"
#include "pack/terminal_progress.h"
#include "pack/version.h"
#include "payload/payload_writer.h"
#include "payload/session_lookup.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr char kDefaultSession[] = "Session1";
constexpr size_t kCopyBlockSize = 1 << 16;

constexpr char kHelp[] =
    "Usage: vmpack build --runner RUNNER.exe -o OUT.exe [--session NAME] [--group GROUP] FILE...\n"
    "       vmpack build --append -o OUT.exe [--session NAME] [--group GROUP] FILE...\n"
    "\n"
    "Copies RUNNER.exe to OUT.exe and appends one session holding the FILEs in the order\n"
    "given, each under its own base name. Sessions already in RUNNER.exe are kept.\n"
    "OUT.exe is replaced only once it is complete; on any error it stays as it was.\n"
    "\n"
    "Options:\n"
    "  --runner RUNNER.exe   the Runner to copy\n"
    "  -o, --output OUT.exe  the executable to write\n"
    "  --append              add the session to OUT.exe as it is, instead of to a Runner\n"
    "  --session NAME        the session's name, 1 to 63 bytes (default Session1);\n"
    "                        it must not be in use already\n"
    "  --group GROUP         the group of the FILEs after it, up to the next --group;\n"
    "                        --group \"\" gives them none\n"
    "  -h, --help            show this help\n";

struct FileOperand {
  std::string Path;
  std::string Group;
};

struct BuildRequest {
  std::optional<std::string> Runner;
  std::string Output;
  std::string Session = kDefaultSession;
  bool Append = false;
  std::vector<FileOperand> Files;
};

BuildRequest ReadRequest(const std::vector<ArgumentItem>& items) {
  BuildRequest request;
  request.Runner = SingleValue(items, "--runner");
  request.Append = HasOption(items, "--append");
  request.Session = SingleValue(items, "--session").value_or(kDefaultSession);
  std::optional<std::string> output = SingleValue(items, "--output");
  if (!output) throw UsageError("missing -o OUT.exe");
  request.Output = *output;
  if (request.Output.empty() || (request.Runner && request.Runner->empty()))
    throw UsageError("an empty path for RUNNER.exe or OUT.exe");
  if (request.Append && request.Runner)
    throw UsageError("--runner and --append exclude each other: --append adds to OUT.exe");
  if (!request.Append && !request.Runner) throw UsageError("missing --runner RUNNER.exe");

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

void CheckSessionName(const std::string& name) {
  if (name.empty()) throw Exception("A session needs a name");
  if (name.size() > kMaxSessionNameLength)
    throw Exception("Session name is longer than " + std::to_string(kMaxSessionNameLength) +
                    " bytes: " + name);
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
void RefuseTakenSessionName(FileStream& base, const std::string& name) {
  for (const TrailerAt& session : ListSessions(base, true)) {
    if (session.Trailer.SessionName == name)
      throw Exception(base.Path() + " already holds a session named \"" + name + "\"");
  }
}

void CopyWhole(FileStream& from, FileStream& to) {
  std::unique_ptr<uint8_t[]> block(new uint8_t[kCopyBlockSize]);
  from.Seek(0);
  while (size_t got = from.Read(block.get(), kCopyBlockSize)) to.WriteBuffer(block.get(), got);
}

void WriteSession(FileStream& out, const BuildRequest& request,
                  const std::vector<PackInput>& inputs, Console& console) {
  int64_t total = 0;
  for (const auto& input : inputs) total += input.Size;
  TerminalProgress progress(console.Err, console.ErrIsTerminal, "Packing");
  const PackInput* current = nullptr;

  PayloadWriter writer(out, BuilderText());
  writer.OnProgress = [&](int64_t done) { progress.Update(done, total, current->Meta.FileName); };
  writer.BeginSession(request.Session);
  for (const auto& input : inputs) {
    current = &input;
    try {
      FileStream data = FileStream::OpenRead(input.Path);
      FilePrefix meta = input.Meta;
      meta.LastWriteTime = data.LastWriteTime();
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
  const std::vector<ArgumentItem> items = ParseArguments(
      args, {{"--runner", "", true},
             {"--output", "-o", true},
             {"--session", "", true},
             {"--group", "", true},
             {"--append", "", false},
             kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const BuildRequest request = ReadRequest(items);
  CheckSessionName(request.Session);
  std::vector<PackInput> inputs;
  for (const auto& file : request.Files) inputs.push_back(DescribeInput(file.Path, file.Group));

  const std::string basePath = request.Append ? request.Output : *request.Runner;
  FileStream base = OpenBase(basePath, request.Append);
  RefuseTakenSessionName(base, request.Session);

  ReplacementFile result(request.Output);
  try {
    CopyWhole(base, result.Stream());
  } catch (const EStreamError& e) {
    throw Exception("Cannot copy " + basePath + " to " + request.Output + ": " + e.what());
  }
  // Windows refuses to rename over a file that is open, and when appending the base is OUT.
  base.Close();
  WriteSession(result.Stream(), request, inputs, console);
  result.Commit(basePath);

  console.Out << "Wrote " << request.Output << ": session \"" << request.Session << "\", "
              << inputs.size() << (inputs.size() == 1 ? " file\n" : " files\n");
  return kExitSuccess;
}

}  // namespace vm::pack
