#include "unit/pack/pack_test_support.h"

#include <sstream>

#include "pack/vmpack.h"
#include "payload/session_files.h"
#include "payload/session_lookup.h"
#include "support/file_stream.h"

namespace vmtest {

VmpackResult Vmpack(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  VmpackResult result;
  result.ExitCode = vm::pack::RunVmpack(args, out, err);
  result.Out = out.str();
  result.Err = err.str();
  return result;
}

WorkingFolder::WorkingFolder(const std::string& dir)
    : saved_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

WorkingFolder::~WorkingFolder() { std::filesystem::current_path(saved_); }

void WriteFileAt(const std::string& path, const std::string& bytes, uint64_t lastWriteTime) {
  vm::FileStream file = vm::FileStream::Create(path);
  file.WriteBuffer(bytes.data(), bytes.size());
  file.SetLastWriteTime(lastWriteTime);
}

uint64_t LastWriteTimeOf(const std::string& path) {
  return vm::FileStream::OpenRead(path).LastWriteTime();
}

std::vector<StoredSession> ReadPayload(const std::string& path) {
  vm::FileStream source = vm::FileStream::OpenRead(path);
  std::vector<StoredSession> sessions;
  for (const vm::TrailerAt& found : vm::ListSessions(source, false)) {
    StoredSession session{found.Offset, found.Trailer, {}};
    source.Seek(found.Trailer.StartOffset);
    for (int32_t i = 0; i < found.Trailer.FileCount; ++i) {
      const int64_t at = source.Position();
      vm::FilePrefix prefix = vm::ReadFilePrefix(source, found.Offset, vm::NoLeadBytes);
      source.Seek(source.Position() + prefix.StoredSize);
      session.Files.push_back({at, prefix});
    }
    sessions.push_back(session);
  }
  return sessions;
}

}  // namespace vmtest
