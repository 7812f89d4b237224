#include "payload/instance_directory_win.h"

#include <optional>
#include <utility>

#include "payload/file_helpers.h"
#include "payload/instance_directory.h"
#include "support/errors.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kClaimLockName[] = "HalvornRunnerMutex";
constexpr DWORD kClaimLockWaitMs = 5555;
// Followed by the instance suffix: one mutex per running instance.
constexpr char kInstanceLockPrefix[] = "HalvornRunnerInstance";

constexpr int kPrivateFolderTries = 100;

constexpr DWORD kRemoveRetryDelayMs = 111;
constexpr DWORD kRemoveTimeLimitMs = 2222;

std::string Error(DWORD code) { return "error " + std::to_string(code); }

// Waits for the claim lock. A runner that ended while holding it leaves it abandoned, which
// obtains it as well. When the mutex cannot be created at all we claim without it.
bool LockClaims(UniqueHandle& lock, MutexOwnership& ownership) {
  lock.reset(CreateMutexA(nullptr, FALSE, kClaimLockName));
  if (!lock) {
    DWORD error = GetLastError();
    Trace("claim: lock ", kClaimLockName, " not created (", Error(error), "), claiming without it");
    return true;
  }
  DWORD wait = WaitForSingleObject(lock.get(), kClaimLockWaitMs);
  DWORD error = GetLastError();
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
    ownership.reset(lock.get());
    Trace(wait == WAIT_ABANDONED ? "claim: lock obtained (abandoned by its last owner)"
                                 : "claim: lock obtained");
    return true;
  }
  Trace(wait == WAIT_TIMEOUT
            ? "claim: lock not obtained within " + std::to_string(kClaimLockWaitMs) + " ms"
            : "claim: waiting for the lock failed (" + Error(error) + ")");
  return false;
}

// The number names the instance's shared mapping and message, so it must be unique among the
// running instances even when they use different base directories, and stays taken from the
// claim on, also while the new directory is still empty and would look unused. False when a
// running instance holds it.
bool TakeNumber(int32_t number, UniqueHandle& lock) {
  const std::string name = kInstanceLockPrefix + InstanceSuffixFor(number);
  SetLastError(ERROR_SUCCESS);
  lock.reset(CreateMutexA(nullptr, FALSE, name.c_str()));
  DWORD error = GetLastError();
  if (!lock) {
    Trace("claim: mutex ", name, " not created (", Error(error), "), number unguarded");
    return true;
  }
  if (error == ERROR_ALREADY_EXISTS) {
    lock.reset();
    return false;
  }
  return true;
}

// Creates the candidate directory. One that exists is deleted and created again when nothing in
// it is in use; once per claim, so that a directory that keeps coming back cannot hold us here.
// False when the candidate has to be passed over.
bool CreateCandidate(const std::string& candidate) {
  bool deleted = false;
  while (!CreateDirectoryA(candidate.c_str(), nullptr)) {
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      Trace("claim: ", candidate, " not created (", Error(error), ")");
      throw Exception("Can't create dir " + candidate);
    }
    if (!IsDirectory(candidate)) {
      Trace("claim: ", candidate, " is a file, not a directory of ours, passed over");
      return false;
    }
    if (deleted) {
      Trace("claim: ", candidate, " exists again after its deletion, passed over");
      return false;
    }
    if (!IsTreeFree(candidate)) {
      Trace("claim: ", candidate, " is in use, passed over");
      return false;
    }
    int result = ShellDelete(candidate);
    if (result != 0) {
      Trace("claim: ", candidate, " is unused but its deletion failed (result ", result, "), passed over");
      return false;
    }
    Trace("claim: ", candidate, " was left behind unused, deleted for reuse");
    deleted = true;
  }
  return true;
}

// Instance directories that Runners ended by force left behind, under numbers other than the
// one claimed: each that no running instance holds and whose files are all free goes now, while
// the claim lock keeps other Runners from taking it meanwhile. Left alone, they would wait for
// a later claim of their own number, their files (a locked movie's among them) on disk till then.
void RemoveStaleDirectories(const std::string& base, int32_t claimed) {
  WIN32_FIND_DATAA found;
  UniqueFind search(FindFirstFileA((InstanceDirectoryPath(base, 0) + "*").c_str(), &found));
  if (!search) return;
  do {
    const std::optional<int32_t> number = InstanceNumberOfDirectory(found.cFileName);
    if (!number || *number == claimed || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    const std::string dir = InstanceDirectoryPath(base, *number);
    UniqueHandle held;
    if (!TakeNumber(*number, held) || !IsTreeFree(dir)) continue;
    const int result = ShellDelete(dir);
    Trace("claim: ", dir, " left behind unused, deleted with result ", result);
  } while (FindNextFileA(search.get(), &found));
}

}  // namespace

void ClaimInstanceDirectory(InstanceClaim& claim) {
  // The outputs describe this claim only; a failed one leaves no directory for the removal.
  claim.Claimed = false;
  claim.InstanceNumber = 0;
  claim.InstanceDir.clear();
  claim.InstanceSuffix.clear();
  claim.InstanceLock.reset();
  const std::string base = InstanceBaseDirectory(claim.BaseDirectory, IsSystemLeadByte);

  UniqueHandle claimLock;
  MutexOwnership ownership;  // declared after the handle, so released before it is closed
  if (!LockClaims(claimLock, ownership)) return;

  int32_t number = 0;
  std::string candidate;
  UniqueHandle instanceLock;
  for (;; ++number) {
    candidate = InstanceDirectoryPath(base, number);
    if (!TakeNumber(number, instanceLock)) {
      Trace("claim: ", candidate, " passed over, number held by a running instance");
      continue;
    }
    if (CreateCandidate(candidate)) break;
  }

  RemoveStaleDirectories(base, number);
  claim.Claimed = true;
  claim.InstanceNumber = number;
  claim.InstanceSuffix = InstanceSuffixFor(number);
  claim.InstanceDir = candidate + "\\";
  claim.InstanceLock = std::move(instanceLock);
  Trace("claim: number ", number, " claimed, ", claim.InstanceDir);
}

void RemoveInstanceDirectory(const std::string& instanceDir, ShellDeleteFunction shellDelete) {
  // Without a claimed directory the paths below would name the current directory.
  if (instanceDir.empty()) {
    Trace("remove: no instance directory");
    return;
  }
  const std::string dir = WithoutTrailingBackslash(instanceDir, IsSystemLeadByte);

  int result = shellDelete(dir + "\\*.dat", ShellDeleteMode::Permanent);
  Trace("remove: ", dir, "\\*.dat deleted with result ", result);
  if (RemoveDirectoryA(dir.c_str())) {
    Trace("remove: ", dir, " removed");
    return;
  }
  DWORD error = GetLastError();
  Trace("remove: ", dir, " not removed (", Error(error), "), deleting the tree");

  // Files of the session may still be held for a moment by the projector that just ended.
  const DWORD start = GetTickCount();
  while ((result = shellDelete(dir, ShellDeleteMode::Permanent)) != 0 &&
         GetTickCount() - start <= kRemoveTimeLimitMs)
    Sleep(kRemoveRetryDelayMs);
  Trace("remove: tree deleted with result ", result, " after ", GetTickCount() - start, " ms");
  if (result != 0) {
    result = shellDelete(dir, ShellDeleteMode::ToRecycleBin);
    Trace("remove: tree moved to the recycle bin with result ", result);
  }
}

namespace {

// A process that no longer runs; one that runs as another user only refuses access.
bool IsGone(uint32_t processId) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// A Runner that was ended by force left its private folders behind: the folders of processes
// that are gone are taken away before a new one is made.
void RemoveAbandonedPrivateFolders(const std::string& base, const std::string& prefix) {
  WIN32_FIND_DATAA found;
  UniqueFind search(FindFirstFileA((base + prefix + "*").c_str(), &found));
  if (!search) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    const std::optional<uint32_t> owner = PrivateFolderOwner(found.cFileName, prefix);
    if (owner && *owner != GetCurrentProcessId() && IsGone(*owner)) {
      const int result = ShellDelete(base + found.cFileName);
      Trace("private folder: ", base, found.cFileName, ", left by an ended process, deleted with result ", result);
    }
  } while (FindNextFileA(search.get(), &found));
}

}  // namespace

PrivateFolder::PrivateFolder(const std::string& base, const std::string& prefix) {
  RemoveAbandonedPrivateFolders(base, prefix);
  const std::string stem = base + prefix + std::to_string(GetCurrentProcessId());
  for (int n = 0; n < kPrivateFolderTries; ++n) {
    const std::string candidate = n == 0 ? stem : stem + "_" + std::to_string(n);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate + "\\";
      return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      Trace("private folder: ", candidate, " not created (", Error(error), ")");
      throw Exception("Can't create dir " + candidate);
    }
  }
  throw Exception("Can't create dir " + stem);
}

PrivateFolder::~PrivateFolder() {
  const std::string dir = WithoutTrailingBackslash(path_, IsSystemLeadByte);
  const int result = ShellDelete(dir);
  Trace("private folder: ", dir, " deleted with result ", result);
}

}  // namespace vm
