#include "payload/records.h"

#include <gtest/gtest.h>

#include "unit/payload/payload_bytes.h"

namespace {

using vmtest::PrefixBytes;
using vmtest::TrailerBytes;

const uint8_t* U(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(PayloadChecksum, MultipliesByThreeAndAddsEachByte) {
  EXPECT_EQ(vm::PayloadChecksum(U("abc"), 3), 1266u);
  EXPECT_EQ(vm::PayloadChecksum(U(""), 0), 0u);
  // Wraps modulo 2^32 rather than saturating.
  std::string ff(64, '\xFF');
  uint32_t h = 0;
  for (int i = 0; i < 64; ++i) h = h * 3 + 255;
  EXPECT_EQ(vm::PayloadChecksum(U(ff), ff.size()), h);
}

TEST(SessionTrailer, RoundTripsEveryFieldAtItsOffset) {
  vm::SessionTrailer t;
  t.StartOffset = 0x20E00;
  t.DataLength = 1234;
  t.FileCount = 3;
  t.TotalSize = 99999;
  t.BuilderText = "Vardel Mossant vmpack 1.0.0";
  t.SessionName = std::string(63, 'n');
  std::string bytes = TrailerBytes(t);

  ASSERT_EQ(bytes.size(), 220u);
  EXPECT_EQ(bytes.substr(0, 4), "\xA3\x61\x4A\x6A");
  EXPECT_EQ(bytes.substr(216, 4), "\x0D\xBF\xF9\x8C");
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x00\x0E\x02\x00", 4));
  EXPECT_EQ(static_cast<uint8_t>(bytes[88]), 63);
  EXPECT_TRUE(vm::IsValidTrailer(U(bytes)));

  vm::SessionTrailer back = vm::DecodeTrailer(U(bytes));
  EXPECT_EQ(back.StartOffset, t.StartOffset);
  EXPECT_EQ(back.DataLength, t.DataLength);
  EXPECT_EQ(back.FileCount, t.FileCount);
  EXPECT_EQ(back.TotalSize, t.TotalSize);
  EXPECT_EQ(back.BuilderText, t.BuilderText);
  EXPECT_EQ(back.SessionName, t.SessionName);
}

TEST(FilePrefix, RoundTripsEveryFieldAtItsOffset) {
  vm::FilePrefix p;
  p.FileName = std::string(255, 'f');
  p.SourceFolder = "C:\\movie\\";
  p.GroupName = "VTOOL.x";
  p.Size = 109;
  p.StoredSize = 40;
  p.LastWriteTime = 0x01D4F5A6B7C8D9E0ULL;
  std::string bytes = PrefixBytes(p);

  ASSERT_EQ(bytes.size(), 796u);
  EXPECT_EQ(static_cast<uint8_t>(bytes[4]), 255);
  EXPECT_EQ(bytes.substr(780, 8), std::string("\xE0\xD9\xC8\xB7\xA6\xF5\xD4\x01", 8));
  EXPECT_TRUE(vm::IsValidPrefix(U(bytes)));

  vm::FilePrefix back = vm::DecodePrefix(U(bytes));
  EXPECT_EQ(back.FileName, p.FileName);
  EXPECT_EQ(back.SourceFolder, p.SourceFolder);
  EXPECT_EQ(back.GroupName, p.GroupName);
  EXPECT_EQ(back.Size, p.Size);
  EXPECT_EQ(back.StoredSize, p.StoredSize);
  EXPECT_EQ(back.LastWriteTime, p.LastWriteTime);
}

TEST(FilePrefix, StoresRawUpTo108BytesAndCompressesFrom109) {
  vm::FilePrefix p;
  p.Size = 108;
  EXPECT_FALSE(p.IsCompressed());
  p.Size = 109;
  EXPECT_TRUE(p.IsCompressed());
}

// Any changed byte, padding included, breaks the checksum or a magic.
TEST(RecordValidity, EveryCoveredByteCounts) {
  std::string trailer = TrailerBytes(vm::SessionTrailer{0, 0, 0, 0, "", "Session1"});
  std::string prefix = PrefixBytes(vm::FilePrefix{"a.txt", "", "", 1, 1, 0});
  for (size_t offset : {size_t{0}, size_t{16}, size_t{100}, size_t{150}, size_t{211}, size_t{212}, size_t{219}}) {
    std::string damaged = trailer;
    damaged[offset] ^= 0x01;
    EXPECT_FALSE(vm::IsValidTrailer(U(damaged))) << "trailer byte " << offset;
  }
  for (size_t offset : {size_t{0}, size_t{200}, size_t{600}, size_t{787}, size_t{788}, size_t{795}}) {
    std::string damaged = prefix;
    damaged[offset] ^= 0x01;
    EXPECT_FALSE(vm::IsValidPrefix(U(damaged))) << "prefix byte " << offset;
  }
}

TEST(IsBareFileName, AcceptsOnlyNamesThatStayInTheirFolder) {
  struct Case {
    const char* name;
    bool bare;
  } cases[] = {
      {"movie.exe", true}, {"a", true},         {"..x", true},        {"x..", true},
      {"", false},         {".", false},        {"..", false},        {"..\\evil.dll", false},
      {"a/b", false},      {"c:evil.dll", false}, {"\\abs.txt", false}, {"/etc/passwd", false},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::IsBareFileName(c.name), c.bare) << c.name;
}

}  // namespace
