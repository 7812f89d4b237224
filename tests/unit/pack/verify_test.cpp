#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "payload/records.h"
#include "unit/pack/pack_test_support.h"
#include "unit/test_files.h"

namespace {

using Layout = std::vector<vmtest::StoredSession>;

// Newest first: "Main" holds a raw file and two compressed ones, "Intro" one raw file.
std::string WritePayload(const vmtest::TempDir& dir) {
  const std::string path = dir.File("movie.exe");
  vmtest::WriteBytes(path, vmtest::FakeRunnerImage());
  vmtest::AppendSession(path, "Intro", {{"logo.png", vmtest::Incompressible(60)}});
  vmtest::AppendSession(path, "Main",
                        {{"raw.txt", "tiny"},
                         {"text.txt", vmtest::Compressible(5000)},
                         {"noise.bin", vmtest::Incompressible(3000)}});
  return path;
}

void Overwrite(const std::string& path, int64_t offset, const std::string& bytes) {
  std::string all = vmtest::ReadBytes(path);
  all.replace(static_cast<size_t>(offset), bytes.size(), bytes);
  vmtest::WriteBytes(path, all);
}

void FlipByte(const std::string& path, int64_t offset) {
  const char old = vmtest::ReadBytes(path)[static_cast<size_t>(offset)];
  Overwrite(path, offset, std::string(1, static_cast<char>(old ^ 0x5A)));
}

// Rewrites a record with a sound frame, so that only the changed field is wrong.
void RewriteTrailer(const std::string& path, const vmtest::StoredSession& session,
                    const std::function<void(vm::SessionTrailer&)>& change) {
  vm::SessionTrailer trailer = session.Trailer;
  change(trailer);
  uint8_t block[vm::kTrailerSize];
  vm::EncodeTrailer(trailer, block);
  Overwrite(path, session.TrailerOffset, std::string(reinterpret_cast<char*>(block), sizeof block));
}

void RewritePrefix(const std::string& path, const vmtest::StoredFile& file,
                   const std::function<void(vm::FilePrefix&)>& change) {
  vm::FilePrefix prefix = file.Prefix;
  change(prefix);
  uint8_t block[vm::kPrefixSize];
  vm::EncodePrefix(prefix, block);
  Overwrite(path, file.PrefixOffset, std::string(reinterpret_cast<char*>(block), sizeof block));
}

int64_t DataStart(const vmtest::StoredFile& file) {
  return file.PrefixOffset + static_cast<int64_t>(vm::kPrefixSize);
}

std::string At(int64_t offset) { return "offset " + std::to_string(offset); }

std::string MainContext(const Layout& layout) {
  return "Session \"Main\" (trailer at " + At(layout[0].TrailerOffset) + ")";
}

std::string FileContext(const Layout& layout, size_t index) {
  return MainContext(layout) + ", file " + std::to_string(index + 1) + " of 3 (prefix at " +
         At(layout[0].Files[index].PrefixOffset) + ")";
}

TEST(VerifyTest, SoundPayloadPassesWithASummary) {
  vmtest::TempDir dir;
  const std::string path = WritePayload(dir);

  const vmtest::VmpackResult result = vmtest::Vmpack({"verify", path});

  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out, path + ": sound; 2 sessions, 4 files, 8064 bytes\n");
}

TEST(VerifyTest, FileWithoutPayloadFails) {
  vmtest::TempDir dir;
  vmtest::WriteBytes(dir.File("runner.exe"), vmtest::FakeRunnerImage());

  const vmtest::VmpackResult result = vmtest::Vmpack({"verify", dir.File("runner.exe")});

  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_NE(result.Err.find("No session trailer ends the file"), std::string::npos) << result.Err;
}

// Damages the payload and returns the parts that the message must contain.
struct Damage {
  const char* Label;
  std::function<std::vector<std::string>(const std::string& path, const Layout& layout)> Apply;
};

void PrintTo(const Damage& c, std::ostream* os) { *os << c.Label; }

class VerifyDamageTest : public ::testing::TestWithParam<Damage> {};

TEST_P(VerifyDamageTest, NamesTheFirstProblem) {
  vmtest::TempDir dir;
  const std::string path = WritePayload(dir);
  const std::vector<std::string> expected = GetParam().Apply(path, vmtest::ReadPayload(path));

  const vmtest::VmpackResult result = vmtest::Vmpack({"verify", path});

  EXPECT_EQ(result.ExitCode, 1) << result.Out;
  EXPECT_EQ(result.Err.rfind("vmpack: ", 0), 0u) << result.Err;
  for (const auto& fragment : expected)
    EXPECT_NE(result.Err.find(fragment), std::string::npos)
        << "missing \"" << fragment << "\" in " << result.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Damages, VerifyDamageTest,
    ::testing::Values(
        Damage{"DamagedPrefix",
               [](const std::string& path, const Layout& layout) {
                 FlipByte(path, layout[0].Files[1].PrefixOffset + 8);
                 return std::vector<std::string>{FileContext(layout, 1),
                                                 "File prefix format error"};
               }},
        Damage{"UnsafeFileName",
               [](const std::string& path, const Layout& layout) {
                 RewritePrefix(path, layout[0].Files[0],
                               [](vm::FilePrefix& p) { p.FileName = "..\\raw.txt"; });
                 return std::vector<std::string>{FileContext(layout, 0), "Unsafe file name"};
               }},
        Damage{"TruncatedFile",
               [](const std::string& path, const Layout& layout) {
                 const auto size = static_cast<int64_t>(std::filesystem::file_size(path));
                 std::filesystem::resize_file(path, static_cast<uintmax_t>(size - 100));
                 // The older session's trailer is sound, but what follows it is the start of
                 // the newer session, not a signature.
                 return std::vector<std::string>{
                     std::to_string(size - 100 - (layout[1].TrailerOffset + 220)) +
                         " bytes after the session trailer at " + At(layout[1].TrailerOffset) +
                         " start like a file prefix",
                     "a newer session is damaged or cut short"};
               }},
        Damage{"BadZlibHeader",
               [](const std::string& path, const Layout& layout) {
                 Overwrite(path, DataStart(layout[0].Files[1]), std::string(1, '\0'));
                 return std::vector<std::string>{FileContext(layout, 1) + " \"text.txt\"",
                                                 "the compressed data are damaged"};
               }},
        Damage{"BadZlibCheckValue",
               [](const std::string& path, const Layout& layout) {
                 const vmtest::StoredFile& file = layout[0].Files[2];
                 FlipByte(path, DataStart(file) + file.Prefix.StoredSize - 1);
                 return std::vector<std::string>{FileContext(layout, 2) + " \"noise.bin\"",
                                                 "the compressed data are damaged"};
               }},
        Damage{"SizeBeyondTheCompressedData",
               [](const std::string& path, const Layout& layout) {
                 RewritePrefix(path, layout[0].Files[1], [](vm::FilePrefix& p) { ++p.Size; });
                 return std::vector<std::string>{FileContext(layout, 1),
                                                 "the data end after 5000 of 5001 bytes"};
               }},
        Damage{"SizeShortOfTheCompressedData",
               [](const std::string& path, const Layout& layout) {
                 RewritePrefix(path, layout[0].Files[1], [](vm::FilePrefix& p) { --p.Size; });
                 return std::vector<std::string>{FileContext(layout, 1),
                                                 "do not end after 4999 bytes"};
               }},
        Damage{"StoredDataRunIntoTheTrailer",
               [](const std::string& path, const Layout& layout) {
                 RewritePrefix(path, layout[0].Files[2],
                               [](vm::FilePrefix& p) { p.StoredSize += 100; });
                 return std::vector<std::string>{FileContext(layout, 2),
                                                 "File data run into the session trailer"};
               }},
        Damage{"FileCountShort",
               [](const std::string& path, const Layout& layout) {
                 RewriteTrailer(path, layout[0], [](vm::SessionTrailer& t) { --t.FileCount; });
                 return std::vector<std::string>{MainContext(layout),
                                                 "lie between the last file and the trailer"};
               }},
        Damage{"TotalSizeNotTheSum",
               [](const std::string& path, const Layout& layout) {
                 RewriteTrailer(path, layout[0], [](vm::SessionTrailer& t) { ++t.TotalSize; });
                 return std::vector<std::string>{MainContext(layout),
                                                 "total size 8005 but the files hold 8004 bytes"};
               }},
        Damage{"DataLengthShortOfTheTrailer",
               [](const std::string& path, const Layout& layout) {
                 RewriteTrailer(path, layout[0], [](vm::SessionTrailer& t) { --t.DataLength; });
                 return std::vector<std::string>{MainContext(layout), "does not reach the trailer"};
               }},
        Damage{"StartAfterTheTrailer",
               [](const std::string& path, const Layout& layout) {
                 RewriteTrailer(path, layout[0], [&](vm::SessionTrailer& t) {
                   t.StartOffset = static_cast<int32_t>(layout[0].TrailerOffset + 1);
                 });
                 return std::vector<std::string>{MainContext(layout),
                                                 "does not lie before the trailer"};
               }},
        Damage{"DuplicateSessionName",
               [](const std::string& path, const Layout& layout) {
                 vmtest::AppendSession(path, "Intro", {{"again.png", "PNG"}});
                 return std::vector<std::string>{
                     "Session \"Intro\" (trailer at " + At(layout[1].TrailerOffset) + ")",
                     "has the same name"};
               }}),
    [](const ::testing::TestParamInfo<Damage>& info) { return info.param.Label; });

}  // namespace
