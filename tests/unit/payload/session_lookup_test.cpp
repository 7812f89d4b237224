#include "payload/session_lookup.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "unit/payload/payload_bytes.h"
#include "unit/test_files.h"

namespace {

using vmtest::SessionBytes;
using vmtest::StoredFile;
using vmtest::TempDir;

class SessionLookup : public ::testing::Test {
 protected:
  // Writes bytes to a file and opens it as the extractor does.
  vm::FileStream Open(const std::string& bytes) {
    std::string path = dir_.File("payload.exe");
    vmtest::WriteBytes(path, bytes);
    return vm::FileStream::OpenRead(path);
  }

  std::string NotFound() const { return "Session not found on extract from " + dir_.File("payload.exe"); }

  void ExpectNotFound(const std::string& bytes, const std::string& name, bool scan = true) {
    vm::FileStream source = Open(bytes);
    try {
      vm::FindSession(source, name, scan);
      ADD_FAILURE() << "found " << name;
    } catch (const vm::Exception& e) {
      EXPECT_EQ(e.what(), NotFound());
    }
  }

  TempDir dir_;
  const std::string image_ = vmtest::FakeRunnerImage(4096);
};

TEST_F(SessionLookup, FindsNewestFirstAndStepsBackThroughTheChain) {
  std::string a = SessionBytes(image_, "A", {StoredFile("a.txt", "aaa")});
  std::string ab = SessionBytes(a, "B", {StoredFile("b.txt", "bbb")});
  vm::FileStream source = Open(ab);

  vm::TrailerAt b = vm::FindSession(source, "B", true);
  EXPECT_EQ(b.Trailer.StartOffset, static_cast<int32_t>(a.size()));
  EXPECT_EQ(source.Position(), static_cast<int64_t>(a.size()));

  vm::TrailerAt found = vm::FindSession(source, "A", false);  // no scan needed along the chain
  EXPECT_EQ(found.Trailer.StartOffset, static_cast<int32_t>(image_.size()));
  EXPECT_EQ(found.Offset, static_cast<int64_t>(a.size() - vm::kTrailerSize));
  EXPECT_EQ(source.Position(), static_cast<int64_t>(image_.size()));

  auto all = vm::ListSessions(source, true);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].Trailer.SessionName, "B");
  EXPECT_EQ(all[1].Trailer.SessionName, "A");
}

TEST_F(SessionLookup, NamesMatchByteForByte) {
  std::string bytes = SessionBytes(image_, "Session1", {StoredFile("a.txt", "a")});
  ExpectNotFound(bytes, "session1");
  ExpectNotFound(bytes, "Session");
  ExpectNotFound(bytes, "Session1 ");
}

TEST_F(SessionLookup, ExtraBytesAfterTheLastTrailerNeedTheScan) {
  std::string bytes = SessionBytes(image_, "Session1", {StoredFile("a.txt", "a")}) + "signature";
  vm::FileStream source = Open(bytes);
  EXPECT_EQ(vm::FindSession(source, "Session1", true).Trailer.SessionName, "Session1");
  ExpectNotFound(bytes, "Session1", false);
}

// The scan reads blocks backwards; a trailer straddling a block edge must still be seen.
TEST_F(SessionLookup, ScanFindsTrailersAcrossBlockEdges) {
  std::string session = SessionBytes(image_, "S", {StoredFile("a.txt", "a")});
  for (size_t tail : {size_t{1}, size_t{219}, size_t{220}, (size_t{1} << 20) - 110, (size_t{1} << 20) + 3}) {
    std::string bytes = session + vmtest::Incompressible(tail, 3);
    vm::FileStream source = Open(bytes);
    EXPECT_EQ(vm::FindSession(source, "S", true).Offset,
              static_cast<int64_t>(session.size() - vm::kTrailerSize))
        << "tail " << tail;
  }
}

// The scan tests windows that end at 2048 or above, never below.
TEST_F(SessionLookup, ScanStopsAtTheWindowEndingAt2048) {
  std::string head = SessionBytes(std::string(2048 - 220 - 796 - 1, 'x'), "S", {StoredFile("a", "1")});
  ASSERT_EQ(head.size(), 2048u);
  std::string bytes = head + std::string(5000, 'y');
  vm::FileStream source = Open(bytes);
  EXPECT_EQ(vm::FindSession(source, "S", true).Offset, 2048 - 220);

  std::string below = SessionBytes(std::string(2047 - 220 - 796 - 1, 'x'), "S", {StoredFile("a", "1")});
  ExpectNotFound(below + std::string(5000, 'y'), "S");
}

TEST_F(SessionLookup, AMissingNameScansTheRunnerImageAndFails) {
  ExpectNotFound(SessionBytes(image_, "Other", {StoredFile("a.txt", "a")}), "Session1");
}

TEST_F(SessionLookup, FilesWithoutRoomForATrailerHoldNoSession) {
  ExpectNotFound("", "Session1");
  ExpectNotFound(std::string(219, 'z'), "Session1");
  // A session with no runner image in front: the chain ends at offset 0.
  ExpectNotFound(SessionBytes("", "A", {StoredFile("a", "1")}), "B");
}

// A trailer that passes its checksum but points its chain outside the file, or at or past
// itself, ends the lookup instead of reading elsewhere or looping.
TEST_F(SessionLookup, UnsoundStartOffsetsEndTheChain) {
  for (int32_t start : {-1, -1000000, 4096 + 10000, 0x7FFFFFFF}) {
    vm::SessionTrailer t;
    t.StartOffset = start;
    t.SessionName = "X";
    std::string bytes = image_ + vmtest::TrailerBytes(t);
    ExpectNotFound(bytes, "X");
    ExpectNotFound(bytes, "Y");
    vm::FileStream source = Open(bytes);
    EXPECT_THROW(vm::ListSessions(source, true), vm::Exception) << start;
  }
  // A start offset at the trailer itself is a session without files: sound.
  vm::SessionTrailer empty;
  empty.StartOffset = 4096;
  empty.SessionName = "E";
  vm::FileStream source = Open(image_ + vmtest::TrailerBytes(empty));
  EXPECT_EQ(vm::FindSession(source, "E", true).Trailer.StartOffset, 4096);
}

}  // namespace
