#include "payload/instance_directory_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "payload/file_helpers.h"
#include "support/errors.h"
#include "support/win_handles.h"
#include "unit/test_files.h"

namespace {

constexpr char kClaimLockName[] = "HalvornRunnerMutex";

// Another program's handle on a file: read and write access, no sharing; creates the file.
vm::UniqueFile HoldOpen(const std::string& path) {
  vm::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file) << path;
  return file;
}

// What another runner's wait for the claim lock would get at this moment. A mutex belongs to a
// thread and a thread may take its own mutex again, so the wait runs on a thread of its own.
DWORD ClaimLockStateSeenElsewhere() {
  DWORD result = WAIT_FAILED;
  std::thread([&] {
    vm::UniqueHandle lock(CreateMutexA(nullptr, FALSE, kClaimLockName));
    result = WaitForSingleObject(lock.get(), 0);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ReleaseMutex(lock.get());
  }).join();
  return result;
}

// Another runner holding the claim lock on its own thread until Stop(); with `abandon` the
// thread ends while it still owns the lock.
class LockHolder {
 public:
  explicit LockHolder(bool abandon = false) {
    thread_ = std::thread([this, abandon] {
      vm::UniqueHandle lock(CreateMutexA(nullptr, FALSE, kClaimLockName));
      WaitForSingleObject(lock.get(), INFINITE);
      SetEvent(taken_.get());
      if (abandon) return;
      WaitForSingleObject(stop_.get(), INFINITE);
      ReleaseMutex(lock.get());
    });
    WaitForSingleObject(taken_.get(), INFINITE);
    if (abandon) thread_.join();
  }
  ~LockHolder() {
    SetEvent(stop_.get());
    if (thread_.joinable()) thread_.join();
  }

 private:
  vm::UniqueHandle taken_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  vm::UniqueHandle stop_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  std::thread thread_;
};

class InstanceDirectory : public ::testing::Test {
 protected:
  // The preference without its trailing "\": the claim adds it.
  vm::InstanceClaim Claim(const std::string& base) {
    vm::InstanceClaim claim;
    claim.BaseDirectory = base;
    vm::ClaimInstanceDirectory(claim);
    return claim;
  }
  vm::InstanceClaim Claim() { return Claim(base_.Path()); }
  std::string Dir(const std::string& name) const { return base_.File(name); }

  vmtest::TempDir base_;
};

TEST_F(InstanceDirectory, TheFirstClaimCreatesVdlRt) {
  vm::InstanceClaim claim = Claim();
  ASSERT_TRUE(claim.Claimed);
  EXPECT_EQ(claim.InstanceNumber, 0);
  EXPECT_EQ(claim.InstanceDir, Dir("Vdl_Rt\\"));
  EXPECT_EQ(claim.InstanceSuffix, "_VDL_RT");
  EXPECT_TRUE(vm::IsDirectory(Dir("Vdl_Rt")));
  EXPECT_EQ(ClaimLockStateSeenElsewhere(), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST_F(InstanceDirectory, ADirectoryInUseIsPassedOverAndLeftAlone) {
  vm::CreateDirectoryPath(Dir("Vdl_Rt"));
  vmtest::WriteBytes(Dir("Vdl_Rt\\free.txt"), "theirs");
  auto held0 = HoldOpen(Dir("Vdl_Rt\\movie.exe"));

  vm::InstanceClaim first = Claim();
  ASSERT_TRUE(first.Claimed);
  EXPECT_EQ(first.InstanceNumber, 1);
  EXPECT_EQ(first.InstanceDir, Dir("Vdl_Rt1\\"));
  EXPECT_EQ(first.InstanceSuffix, "_VDL_RT1");
  EXPECT_EQ(vmtest::ReadBytes(Dir("Vdl_Rt\\free.txt")), "theirs");

  // The runner that claimed number 1 ends; its directory stays behind with a file in use.
  first = vm::InstanceClaim();
  auto held1 = HoldOpen(Dir("Vdl_Rt1\\movie1.exe"));
  vm::InstanceClaim second = Claim();
  ASSERT_TRUE(second.Claimed);
  EXPECT_EQ(second.InstanceNumber, 2);
  EXPECT_EQ(second.InstanceDir, Dir("Vdl_Rt2\\"));
  EXPECT_EQ(second.InstanceSuffix, "_VDL_RT2");
}

TEST_F(InstanceDirectory, AFileHeldOpenAnywhereInALeftoverKeepsIt) {
  for (const char* name : {"sub\\deeper\\held.bin", ".lock"}) {
    SCOPED_TRACE(name);
    vmtest::TempDir base;
    const std::string file = base.File(std::string("Vdl_Rt\\") + name);
    vm::CreateDirectoryPath(vm::FolderOf(file, vm::IsSystemLeadByte));
    auto held = HoldOpen(file);
    EXPECT_EQ(Claim(base.Path()).InstanceNumber, 1);
    EXPECT_TRUE(vmtest::Exists(file));
  }
}

// Only directories are the Runner's leftovers: a file of that name is somebody else's.
TEST_F(InstanceDirectory, AFileNamedLikeAnInstanceDirectoryIsLeftAlone) {
  vmtest::WriteBytes(Dir("Vdl_Rt"), "not a directory");
  vm::InstanceClaim claim = Claim();
  ASSERT_TRUE(claim.Claimed);
  EXPECT_EQ(claim.InstanceNumber, 1);
  EXPECT_EQ(vmtest::ReadBytes(Dir("Vdl_Rt")), "not a directory");
}

TEST_F(InstanceDirectory, AReadOnlyFileInALeftoverKeepsIt) {
  const std::string file = Dir("Vdl_Rt\\readonly.bin");
  vm::CreateDirectoryPath(Dir("Vdl_Rt"));
  vmtest::WriteBytes(file, "old");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  struct Writable {
    const std::string& file;
    ~Writable() { SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL); }
  } writableAtTheEnd{file};
  if (vm::IsFileFree(file)) GTEST_SKIP() << "this system opens read-only files for writing";

  EXPECT_EQ(Claim().InstanceNumber, 1);
  EXPECT_EQ(vmtest::ReadBytes(file), "old");
}

TEST_F(InstanceDirectory, AnUnusedLeftoverIsDeletedAndReused) {
  vm::CreateDirectoryPath(Dir("Vdl_Rt\\sub\\deeper"));
  vmtest::WriteBytes(Dir("Vdl_Rt\\movie.exe"), "old");
  vmtest::WriteBytes(Dir("Vdl_Rt\\sub\\deeper\\a.dat"), "old");

  vm::InstanceClaim claim = Claim();
  ASSERT_TRUE(claim.Claimed);
  EXPECT_EQ(claim.InstanceNumber, 0);
  EXPECT_EQ(claim.InstanceSuffix, "_VDL_RT");
  EXPECT_TRUE(vm::IsDirectory(Dir("Vdl_Rt")));
  EXPECT_TRUE(vmtest::ListNames(Dir("Vdl_Rt")).empty());
}

// A Runner ended by force leaves its directory under its own number; the next claim takes away
// every such directory whose number no running instance holds and whose files are free, not only
// the one it reuses. What is in use, held, or only named like an instance directory stays.
TEST_F(InstanceDirectory, AClaimTakesAwayTheStaleDirectoriesOfOtherNumbers) {
  vm::InstanceClaim running = Claim();
  ASSERT_EQ(running.InstanceNumber, 0);
  for (const char* stale : {"Vdl_Rt2\\movie2.exe", "Vdl_Rt3\\sub\\vardelrun3.dll", "Vdl_Rt4\\held.bin",
                            "Vdl_Rt05\\theirs.txt", "Vdl_Rt6x\\theirs.txt"}) {
    vm::CreateDirectoryPath(vm::FolderOf(Dir(stale), vm::IsSystemLeadByte));
    vmtest::WriteBytes(Dir(stale), "left behind");
  }
  auto held = HoldOpen(Dir("Vdl_Rt4\\held.bin"));

  vm::InstanceClaim claim = Claim();
  ASSERT_TRUE(claim.Claimed);
  EXPECT_EQ(claim.InstanceNumber, 1);
  EXPECT_FALSE(vmtest::Exists(Dir("Vdl_Rt2")));
  EXPECT_FALSE(vmtest::Exists(Dir("Vdl_Rt3")));
  EXPECT_TRUE(vmtest::Exists(Dir("Vdl_Rt4\\held.bin")));
  EXPECT_TRUE(vmtest::Exists(Dir("Vdl_Rt05\\theirs.txt")));
  EXPECT_TRUE(vmtest::Exists(Dir("Vdl_Rt6x\\theirs.txt")));
  EXPECT_TRUE(vm::IsDirectory(Dir("Vdl_Rt")));  // the running instance's own
}

// The number names the instance's mapping and message: a running instance keeps it from the
// claim on, while its new directory is still empty, and whatever base directory others use.
TEST_F(InstanceDirectory, ARunningInstanceKeepsItsNumber) {
  vm::InstanceClaim running = Claim();
  ASSERT_EQ(running.InstanceNumber, 0);
  ASSERT_TRUE(vmtest::ListNames(Dir("Vdl_Rt")).empty());

  EXPECT_EQ(Claim().InstanceNumber, 1);
  vmtest::TempDir otherBase;
  vm::InstanceClaim elsewhere = Claim(otherBase.Path());
  EXPECT_EQ(elsewhere.InstanceNumber, 1);
  EXPECT_FALSE(vmtest::Exists(otherBase.File("Vdl_Rt")));

  running = vm::InstanceClaim();
  EXPECT_EQ(Claim().InstanceNumber, 0);
}

TEST_F(InstanceDirectory, RunnersClaimingTogetherGetDifferentNumbers) {
  constexpr int kRunners = 4;
  vm::InstanceClaim claims[kRunners];
  std::thread threads[kRunners];
  for (int i = 0; i < kRunners; ++i)
    threads[i] = std::thread([&, i] { claims[i] = Claim(); });
  for (auto& t : threads) t.join();
  bool taken[kRunners] = {};
  for (const auto& claim : claims) {
    ASSERT_TRUE(claim.Claimed);
    ASSERT_LT(claim.InstanceNumber, kRunners);
    EXPECT_FALSE(taken[claim.InstanceNumber]) << claim.InstanceNumber;
    taken[claim.InstanceNumber] = true;
  }
}

TEST_F(InstanceDirectory, ADirectoryThatCannotBeCreatedRaisesAndFreesTheLock) {
  for (const std::string& base : {Dir("missing\\deeper"), Dir("bad|name"), Dir("file.txt")}) {
    SCOPED_TRACE(base);
    if (base == Dir("file.txt")) vmtest::WriteBytes(base, "");
    vm::InstanceClaim claim;
    claim.BaseDirectory = base;
    try {
      vm::ClaimInstanceDirectory(claim);
      ADD_FAILURE() << "claimed " << claim.InstanceDir;
    } catch (const vm::Exception& e) {
      EXPECT_STREQ(e.what(), ("Can't create dir " + base + "\\Vdl_Rt").c_str());
    }
    EXPECT_FALSE(claim.Claimed);
    EXPECT_EQ(ClaimLockStateSeenElsewhere(), static_cast<DWORD>(WAIT_OBJECT_0));
  }
  // Nor does the failed claim keep its number.
  EXPECT_EQ(Claim().InstanceNumber, 0);
}

TEST_F(InstanceDirectory, AClaimLockHeldElsewhereEndsTheClaimUnclaimed) {
  LockHolder other;
  const DWORD start = GetTickCount();
  vm::InstanceClaim claim = Claim();
  const DWORD waited = GetTickCount() - start;
  EXPECT_FALSE(claim.Claimed);
  EXPECT_GE(waited, 5000u);
  EXPECT_LT(waited, 8000u);
  EXPECT_FALSE(vmtest::Exists(Dir("Vdl_Rt")));
}

TEST_F(InstanceDirectory, AnAbandonedClaimLockIsObtained) {
  LockHolder ended(/*abandon=*/true);
  vm::InstanceClaim claim = Claim();
  EXPECT_TRUE(claim.Claimed);
  EXPECT_EQ(claim.InstanceNumber, 0);
  EXPECT_EQ(ClaimLockStateSeenElsewhere(), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST_F(InstanceDirectory, RemovalDeletesTheWholeTree) {
  const char* const layouts[][3] = {
      {nullptr, nullptr, nullptr},  // empty
      {"a.dat", "B.DAT", nullptr},
      {"movie.exe", "sub\\x.dat", "sub\\deeper\\y.txt"},
  };
  for (const auto& files : layouts) {
    vm::InstanceClaim claim = Claim();
    ASSERT_TRUE(claim.Claimed);
    for (const char* name : files) {
      if (name == nullptr) continue;
      const std::string path = claim.InstanceDir + name;
      vm::CreateDirectoryPath(vm::FolderOf(path, vm::IsSystemLeadByte));
      vmtest::WriteBytes(path, "x");
    }
    vm::RemoveInstanceDirectory(claim.InstanceDir);
    EXPECT_FALSE(vmtest::Exists(Dir("Vdl_Rt"))) << (files[0] ? files[0] : "empty");
  }
}

TEST_F(InstanceDirectory, RemovalWaitsForAFileThatIsReleasedSoon) {
  vm::InstanceClaim claim = Claim();
  auto held = HoldOpen(claim.InstanceDir + "movie.exe");
  std::thread projector([&] {
    Sleep(500);
    held.reset();
  });
  vm::RemoveInstanceDirectory(claim.InstanceDir);
  projector.join();
  EXPECT_FALSE(vmtest::Exists(Dir("Vdl_Rt")));
}

// A shell that never manages to delete anything, and keeps the real recycle bin out of the test.
struct ShellCall {
  std::string path;
  vm::ShellDeleteMode mode;
  std::chrono::steady_clock::time_point time;
};
std::vector<ShellCall> shellCalls;
int FailingShellDelete(const std::string& path, vm::ShellDeleteMode mode) {
  shellCalls.push_back({path, mode, std::chrono::steady_clock::now()});
  return ERROR_SHARING_VIOLATION;
}

long long MsBetween(const ShellCall& a, const ShellCall& b) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(b.time - a.time).count();
}

TEST_F(InstanceDirectory, RemovalRetriesForItsTimeLimitThenUsesTheRecycleBin) {
  vm::InstanceClaim claim = Claim();
  vmtest::WriteBytes(claim.InstanceDir + "movie.exe", "in use");
  const std::string dir = Dir("Vdl_Rt");
  shellCalls.clear();
  const DWORD start = GetTickCount();
  vm::RemoveInstanceDirectory(claim.InstanceDir, FailingShellDelete);
  const DWORD took = GetTickCount() - start;

  ASSERT_GE(shellCalls.size(), 4u);
  EXPECT_EQ(shellCalls.front().path, dir + "\\*.dat");
  EXPECT_EQ(shellCalls.back().path, dir);
  EXPECT_EQ(shellCalls.back().mode, vm::ShellDeleteMode::ToRecycleBin);
  const std::vector<ShellCall> tries(shellCalls.begin() + 1, shellCalls.end() - 1);
  for (size_t i = 0; i < tries.size(); ++i) {
    EXPECT_EQ(tries[i].path, dir);
    EXPECT_EQ(tries[i].mode, vm::ShellDeleteMode::Permanent);
    if (i > 0) {
      EXPECT_GE(MsBetween(tries[i - 1], tries[i]), 105);
    }
  }
  // The tick counter the removal reads may be some milliseconds coarse.
  EXPECT_GE(MsBetween(tries.front(), tries.back()), 2222 - 50);
  EXPECT_LE(tries.size(), 2222u / 111u + 2u);
  EXPECT_LT(took, 3000u);
}

TEST_F(InstanceDirectory, RemovalWithoutAClaimedDirectoryTouchesNothing) {
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(base_.Path().c_str()));
  vmtest::WriteBytes(Dir("user.dat"), "keep");
  vm::RemoveInstanceDirectory("");
  SetCurrentDirectoryA(saved);
  EXPECT_EQ(vmtest::ReadBytes(Dir("user.dat")), "keep");
}

TEST_F(InstanceDirectory, APrivateFolderIsOwnAndGoesWithEverythingInIt) {
  const std::string stem = Dir("Own") + std::to_string(GetCurrentProcessId());
  vm::CreateDirectoryPath(stem);  // left by an earlier process of the same id
  std::string first, second;
  {
    vm::PrivateFolder a(base_.Path() + "\\", "Own");
    vm::PrivateFolder b(base_.Path() + "\\", "Own");
    first = a.Path();
    second = b.Path();
    EXPECT_EQ(first, stem + "_1\\");
    EXPECT_EQ(second, stem + "_2\\");
    vmtest::WriteBytes(first + "settings.ini", "[Settings]");
    vmtest::WriteBytes(first + "other.ini", "[Settings]");
  }
  EXPECT_FALSE(vmtest::Exists(first));
  EXPECT_FALSE(vmtest::Exists(second));
  EXPECT_TRUE(vm::IsDirectory(stem));
}

// Process ids are multiples of four: no process has the id 3.
TEST_F(InstanceDirectory, PrivateFoldersOfEndedProcessesGoWhenANewOneIsMade) {
  for (const char* left : {"Own3", "Own3_1", "Ownership3"}) {
    vm::CreateDirectoryPath(Dir(left));
    vmtest::WriteBytes(Dir(left) + "\\settings.ini", "[Settings]");
  }
  vmtest::WriteBytes(Dir("Own7"), "a file, not a folder");
  {
    vm::PrivateFolder folder(base_.Path() + "\\", "Own");
    EXPECT_FALSE(vmtest::Exists(Dir("Own3")));
    EXPECT_FALSE(vmtest::Exists(Dir("Own3_1")));
  }
  EXPECT_TRUE(vm::IsDirectory(Dir("Ownership3"))) << "not a private folder's name";
  EXPECT_TRUE(vmtest::Exists(Dir("Own7")));
}

TEST_F(InstanceDirectory, APrivateFolderThatCannotBeCreatedIsAnError) {
  const std::string missing = Dir("missing\\");
  try {
    vm::PrivateFolder folder(missing, "Own");
    FAIL() << "created below a missing folder";
  } catch (const vm::Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Can't create dir " + missing + "Own" + std::to_string(GetCurrentProcessId()));
  }
}

}  // namespace
