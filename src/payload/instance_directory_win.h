#pragma once

#include <cstdint>
#include <string>

#include "payload/file_helpers.h"
#include "support/win_handles.h"

// Claiming and removing the instance directory into which a runner unpacks its session.
namespace vm {

struct InstanceClaim {
  // In: the "Vardel Temp Directory" preference; a trailing "\" is added when missing.
  std::string BaseDirectory;

  // Out. Claimed is false when another runner kept the claim lock for the whole wait.
  bool Claimed = false;
  int32_t InstanceNumber = 0;
  std::string InstanceDir;  // ends in "\"
  std::string InstanceSuffix;
  // Marks InstanceNumber as taken for the runners that claim after us, whatever their base
  // directory. Keep it until the directory has been removed.
  UniqueHandle InstanceLock;
};

// Takes the lowest instance number whose directory is absent or left behind unused (it is deleted
// and created again) and that no running instance holds. Claims are serialised across processes
// by the mutex "HalvornRunnerMutex", waited for at most 5,555 ms. Throws vm::Exception
// "Can't create dir " + path when a directory cannot be created for another reason than its
// existence; the lock is released on every way out.
void ClaimInstanceDirectory(InstanceClaim& claim);

// Deletes the claimed directory with everything in it, retrying for about 2,222 ms while files
// are still in use, and finally moving it to the recycle bin. Does nothing for an empty path.
// Failures are not reported: a later claim reuses what stays behind once it is unused. Tests
// pass their own shell delete to keep the real recycle bin out of it.
using ShellDeleteFunction = int (*)(const std::string& path, ShellDeleteMode mode);
void RemoveInstanceDirectory(const std::string& instanceDir,
                             ShellDeleteFunction shellDelete = ShellDelete);

// A folder of this process's own below the base directory, removed with everything in it when the
// object goes: prefix + the process id, with "_1", "_2", ... appended while a folder of that name
// is left from an earlier process. Throws vm::Exception "Can't create dir " + path when it cannot
// be created.
class PrivateFolder {
 public:
  PrivateFolder(const std::string& base, const std::string& prefix);
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const std::string& Path() const { return path_; }  // ends in "\"

 private:
  std::string path_;
};

}  // namespace vm
