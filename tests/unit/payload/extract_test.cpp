#include "payload/exe_appender.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/errors.h"
#include "support/file_stream.h"
#include "support/paths.h"
#include "unit/payload/payload_bytes.h"
#include "unit/test_files.h"

namespace {

using vmtest::PackedFile;
using vmtest::RawFile;
using vmtest::SessionBytes;
using vmtest::StoredFile;
using vmtest::TempDir;

uint64_t LastWriteTimeOf(const std::string& path) {
  return vm::FileStream::OpenRead(path).LastWriteTime();
}

class Extract : public ::testing::Test {
 protected:
  Extract() {
    std::filesystem::create_directories(out_);
    appender_.UseOwnFile = false;
    appender_.SourceFile = source_;
    appender_.TargetDir = vm::WithTrailingDelimiter(out_);
  }

  void Pack(const std::vector<PackedFile>& files, const std::string& session = "Session1") {
    if (!vmtest::Exists(source_)) vmtest::WriteBytes(source_, vmtest::FakeRunnerImage());
    vmtest::AppendSession(source_, session, files);
  }

  void PackRaw(const std::vector<RawFile>& files) {
    vmtest::WriteBytes(source_, SessionBytes(vmtest::FakeRunnerImage(), "Session1", files));
  }

  // Runs Extract and returns its error message, or "" when it succeeded.
  std::string ExtractError(const std::string& session = "Session1") {
    try {
      appender_.Extract(session);
      return "";
    } catch (const vm::Exception& e) {
      return e.what();
    }
  }

  std::vector<std::string> Extracted() const { return vmtest::ListNames(out_); }
  std::string Out(const std::string& name) const { return vm::WithTrailingDelimiter(out_) + name; }

  TempDir dir_;
  const std::string source_ = dir_.File("movie.exe");
  const std::string out_ = dir_.File("out");
  vm::TExeAppender appender_;
};

TEST_F(Extract, RestoresBytesAndTimesOfRawAndCompressedFiles) {
  const std::vector<PackedFile> files = {
      {"empty.txt", "", "", 130000000000000000ULL},
      {"raw108.bin", vmtest::Incompressible(108), "", 131000000000000000ULL},
      {"zip109.bin", vmtest::Incompressible(109), "", 132000000000000000ULL},
      {"text.txt", vmtest::Compressible(300000), "", 133000000000000000ULL},
      {"noise.bin", vmtest::Incompressible(200000), "", 134000000000000000ULL},
  };
  Pack(files);
  ASSERT_EQ(ExtractError(), "");
  for (const auto& f : files) {
    EXPECT_EQ(vmtest::ReadBytes(Out(f.Name)), f.Bytes) << f.Name;
    EXPECT_EQ(LastWriteTimeOf(Out(f.Name)), f.LastWriteTime) << f.Name;
  }
  EXPECT_EQ(appender_.TotalSize, 108 + 109 + 300000 + 200000);
  EXPECT_EQ(appender_.TotalDone, appender_.TotalSize);
  EXPECT_EQ(appender_.FileName, "noise.bin");
}

TEST_F(Extract, PicksTheNamedSessionAmongSeveral) {
  Pack({{"a.txt", "from A"}}, "A");
  Pack({{"b.txt", "from B"}}, "B");
  ASSERT_EQ(ExtractError("A"), "");
  EXPECT_EQ(Extracted(), std::vector<std::string>{"a.txt"});
}

TEST_F(Extract, OnFileRenamesRedirectsAndSkips) {
  TempDir other;
  Pack({{"keep.txt", "k"}, {"skip.txt", "s"}, {"move.txt", "m", "grp"}, {"rename.txt", "r"}});
  std::vector<std::string> seen;
  appender_.OnFile = [&](vm::TExeAppender& sender, std::string& name, std::string& dir, bool& skip) {
    seen.push_back(name + "|" + sender.GroupName + "|" + (dir == sender.TargetDir ? "target" : dir));
    if (name == "skip.txt") skip = true;
    if (name == "move.txt") dir = other.Path();  // no trailing delimiter: one is added
    if (name == "rename.txt") name = "renamed.txt";
  };
  ASSERT_EQ(ExtractError(), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"keep.txt||target", "skip.txt||target",
                                            "move.txt|grp|target", "rename.txt||target"}));
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"keep.txt", "renamed.txt"}));
  EXPECT_EQ(vmtest::ReadBytes(other.File("move.txt")), "m");
  EXPECT_EQ(appender_.FileName, "renamed.txt");
}

// Skipped files are stepped over by their stored size, so later prefixes are still checked.
TEST_F(Extract, SkippingEveryFileStillChecksEveryPrefix) {
  RawFile second = StoredFile("b.bin", vmtest::Compressible(5000));
  std::vector<RawFile> files = {StoredFile("a.bin", vmtest::Compressible(5000)), second};
  PackRaw(files);
  appender_.OnFile = [](vm::TExeAppender&, std::string&, std::string&, bool& skip) { skip = true; };
  EXPECT_EQ(ExtractError(), "");
  EXPECT_TRUE(Extracted().empty());

  std::string bytes = vmtest::ReadBytes(source_);
  size_t secondPrefix = bytes.size() - vm::kTrailerSize - second.Data.size() - vm::kPrefixSize;
  bytes[secondPrefix + 300] ^= 0x20;
  vmtest::WriteBytes(source_, bytes);
  EXPECT_EQ(ExtractError(), "File prefix format error on extract from " + source_);
}

TEST_F(Extract, EmptyTargetDirUsesEachFilesSourceFolder) {
  RawFile f = StoredFile("a.txt", "abc");
  f.Prefix.SourceFolder = out_;  // delimiter added by the extractor
  PackRaw({f});
  appender_.TargetDir.clear();
  ASSERT_EQ(ExtractError(), "");
  EXPECT_EQ(vmtest::ReadBytes(Out("a.txt")), "abc");
}

TEST_F(Extract, OverwritesAnExistingFile) {
  vmtest::WriteBytes(Out("a.txt"), std::string(5000, 'o'));
  Pack({{"a.txt", "new"}});
  ASSERT_EQ(ExtractError(), "");
  EXPECT_EQ(vmtest::ReadBytes(Out("a.txt")), "new");
}

TEST_F(Extract, NothingToExtractWhenTheTotalSizeIsZero) {
  std::string bytes = SessionBytes(vmtest::FakeRunnerImage(), "Session1", {StoredFile("a.txt", "")});
  vmtest::WriteBytes(source_, bytes);
  ASSERT_EQ(ExtractError(), "");
  EXPECT_TRUE(Extracted().empty());  // the count says 1, the total says 0
}

TEST_F(Extract, SessionNameLengthIsCheckedBeforeTheFileIsOpened) {
  appender_.SourceFile = dir_.File("missing.exe");
  EXPECT_EQ(ExtractError(std::string(64, 'n')), "Session name too long");
  EXPECT_EQ(ExtractError(std::string(63, 'n')), "Cannot open file " + dir_.File("missing.exe"));
}

TEST_F(Extract, ProgressReportsPercentagesAndEmptyFilesReportMinusOne) {
  Pack({{"a.bin", vmtest::Compressible(100000)}, {"empty.txt", ""}, {"b.bin", vmtest::Compressible(300000)}});
  std::vector<std::string> overall, perFile;
  appender_.OnProgress = [&](vm::TExeAppender&, const std::string& name, int percent, bool&) {
    overall.push_back(name + " " + std::to_string(percent));
  };
  appender_.OnFileProgress = [&](vm::TExeAppender&, const std::string& name, int percent, bool&) {
    if (name != "b.bin") perFile.push_back(name + " " + std::to_string(percent));
  };
  ASSERT_EQ(ExtractError(), "");
  EXPECT_EQ(overall, (std::vector<std::string>{"a.bin 0", "a.bin 25", "empty.txt 25", "empty.txt 25",
                                               "b.bin 25", "b.bin 100"}));
  EXPECT_EQ(perFile, (std::vector<std::string>{"a.bin 0", "a.bin 66", "a.bin 100", "empty.txt -1"}));
}

TEST_F(Extract, AbortKeepsCompletedFilesAndDeletesThePartialOne) {
  Pack({{"a.txt", "done"}, {"big.bin", vmtest::Compressible(200000)}, {"c.txt", "never"}});
  appender_.OnFileProgress = [](vm::TExeAppender&, const std::string& name, int percent, bool& abort) {
    abort = name == "big.bin" && percent > 0;
  };
  ASSERT_EQ(ExtractError(), "");
  EXPECT_EQ(Extracted(), std::vector<std::string>{"a.txt"});

  // Asked before a file, the abort creates nothing for it.
  appender_.OnFileProgress = nullptr;
  appender_.OnProgress = [](vm::TExeAppender& sender, const std::string& name, int, bool& abort) {
    abort = name == "c.txt" && sender.TotalDone < sender.TotalSize;
  };
  std::filesystem::remove(Out("a.txt"));
  ASSERT_EQ(ExtractError(), "");
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"a.txt", "big.bin"}));
}

RawFile WithSizes(RawFile f, int32_t size, int32_t stored) {
  f.Prefix.Size = size;
  f.Prefix.StoredSize = stored;
  return f;
}

RawFile Named(const std::string& name) { return StoredFile(name, "payload"); }

const std::string kData = vmtest::Compressible(150000);

// Damaged payloads: each fails with its message, keeps the files completed before it, and
// leaves nothing of the file at which it failed.
TEST_F(Extract, DamagedPayloadsFailCleanly) {
  const std::string source = source_;
  const std::string bad = Out("bad.bin");
  RawFile good = StoredFile("bad.bin", kData);
  RawFile corrupt = good;
  corrupt.Data[corrupt.Data.size() / 2] ^= 0x55;
  RawFile shortStream = WithSizes(StoredFile("bad.bin", kData.substr(0, 1000)), 150000, 0);
  shortStream.Prefix.StoredSize = static_cast<int32_t>(shortStream.Data.size());
  RawFile longStream = StoredFile("bad.bin", kData + "more");
  longStream.Prefix.Size = static_cast<int32_t>(kData.size());
  RawFile cutStream = good;  // the stored size hides the stream's end: it must not read on
  cutStream.Prefix.StoredSize -= 6;
  RawFile trailingBytes = good;  // stored data longer than the stream
  trailingBytes.Data += "junk";
  trailingBytes.Prefix.StoredSize += 4;
  RawFile presetDictionary = good;  // zlib would wait for a dictionary that never comes
  presetDictionary.Data = std::string("\x78\xBB\x00\x00\x00\x01", 6) + good.Data.substr(2);
  presetDictionary.Prefix.StoredSize = static_cast<int32_t>(presetDictionary.Data.size());
  RawFile impossibleTime = good;
  impossibleTime.Prefix.LastWriteTime = 0x8000000000000000ULL;
  RawFile badCheck = good;  // the Adler-32 at the very end
  badCheck.Data.back() ^= 0x01;

  const std::string kNotAllowed = "which Windows does not allow in names";
  struct Case {
    const char* what;
    RawFile file;
    std::string message;
  } cases[] = {
      {"damaged deflate data", corrupt, "error"},
      {"stream shorter than its size", shortStream, "Extract error on " + bad},
      {"stream longer than its size", longStream, "Extract error on " + bad},
      {"stored size cuts the stream", cutStream, "Extract error on " + bad},
      {"bytes after the stream", trailingBytes, "Extract error on " + bad},
      {"damaged check value", badCheck, "error"},
      {"preset dictionary", presetDictionary, "error"},
      {"time beyond what file systems keep", impossibleTime, "Cannot set file time of " + bad},
      {"negative size", WithSizes(good, -1, good.Prefix.StoredSize),
       "File prefix format error on extract from " + source},
      {"negative stored size", WithSizes(good, 150000, -796),
       "File prefix format error on extract from " + source},
      {"raw file with another stored size", WithSizes(Named("bad.bin"), 7, 8),
       "File prefix format error on extract from " + source},
      {"stored size past the end", WithSizes(good, 150000, 0x7FFFFFF0), "Stream read error"},
      {"empty name", Named(""), "Unsafe file name \"\" on extract from " + source + ": the name is empty"},
      {"parent name", Named(".."),
       "Unsafe file name \"..\" on extract from " + source + ": \"..\" names a folder itself or its parent"},
      {"backslash", Named("..\\up.dll"),
       "Unsafe file name \"..\\up.dll\" on extract from " + source + ": it holds \"\\\", " + kNotAllowed},
      {"slash", Named("sub/x.txt"),
       "Unsafe file name \"sub/x.txt\" on extract from " + source + ": it holds \"/\", " + kNotAllowed},
      {"drive", Named("C:x.txt"),
       "Unsafe file name \"C:x.txt\" on extract from " + source + ": it holds \":\", " + kNotAllowed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(out_);
    std::filesystem::create_directories(out_);
    PackRaw({StoredFile("first.txt", "kept"), c.file, StoredFile("last.txt", "never")});
    EXPECT_EQ(ExtractError(), c.message);
    EXPECT_EQ(Extracted(), std::vector<std::string>{"first.txt"});
  }
}

// Data lost in front of an intact trailer: the file at the loss fails and leaves nothing.
TEST_F(Extract, DataCutOutBeforeTheTrailerNeverPassesUnnoticed) {
  Pack({{"a.txt", "kept"}, {"b.bin", kData}});
  const std::string bytes = vmtest::ReadBytes(source_);
  const std::string trailer = bytes.substr(bytes.size() - vm::kTrailerSize);
  for (size_t cut : {size_t{1}, size_t{4}, size_t{30}}) {
    SCOPED_TRACE(cut);
    std::filesystem::remove_all(out_);
    std::filesystem::create_directories(out_);
    vmtest::WriteBytes(source_, bytes.substr(0, bytes.size() - vm::kTrailerSize - cut) + trailer);
    EXPECT_NE(ExtractError(), "");
    EXPECT_EQ(Extracted(), std::vector<std::string>{"a.txt"});
  }
}

TEST_F(Extract, ErrorsNameTheFileUnderItsNewName) {
  RawFile shortStream = WithSizes(StoredFile("b.bin", "tiny stream data but compressed!"), 5000, 0);
  shortStream.Prefix.Size = 5000;
  shortStream.Data = vmtest::Deflate(std::string(200, 'q'));
  shortStream.Prefix.StoredSize = static_cast<int32_t>(shortStream.Data.size());
  PackRaw({shortStream});
  appender_.OnFile = [](vm::TExeAppender&, std::string& name, std::string&, bool&) { name = "new.bin"; };
  EXPECT_EQ(ExtractError(), "Extract error on " + Out("new.bin"));
  EXPECT_TRUE(Extracted().empty());
}

}  // namespace
