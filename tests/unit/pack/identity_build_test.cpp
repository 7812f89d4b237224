#include <gtest/gtest.h>

#include "pack/icon_group.h"
#include "pack/identity_options.h"
#include "pack/pe_image.h"
#include "unit/pack/icon_fixture.h"
#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/test_files.h"

namespace {

using vm::pack::ResourceId;

uint32_t FieldAt(const std::string& bytes, size_t at, size_t width = 4) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

std::string Utf16Bytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

const ResourceId kMainIcon = ResourceId::Named(u"MAINICON");
const ResourceId kEnglish = ResourceId::Of(0x409);

std::vector<uint32_t> GroupIds(const std::string& group) {
  std::vector<uint32_t> ids;
  for (uint32_t i = 0; i < FieldAt(group, 4, 2); ++i) ids.push_back(FieldAt(group, 6 + 14 * i + 12, 2));
  return ids;
}

struct Layout {
  bool Pe32Plus;
  const char* Name;
};

class IdentityBuildTest : public ::testing::TestWithParam<Layout> {
 protected:
  IdentityBuildTest() {
    options_.Pe32Plus = GetParam().Pe32Plus;
    WriteRunner(vmtest::RunnerLikeResources());
    vmtest::WriteBytes(movie_, vmtest::Compressible(3000));
    vmtest::WriteBytes(icon_, vmtest::IconFileOf(images_));
  }

  void WriteRunner(const std::vector<vmtest::FixtureResource>& resources) {
    runnerBytes_ = vmtest::RunnerFixture(resources, options_);
    vmtest::WriteBytes(runner_, runnerBytes_);
  }

  vmtest::VmpackResult Build(std::vector<std::string> identity) {
    std::vector<std::string> args = {"build", "--runner", runner_, "-o", out_};
    args.insert(args.end(), identity.begin(), identity.end());
    args.push_back(movie_);
    return vmtest::Vmpack(args);
  }

  // The packed program's image: everything before the payload.
  std::string BuiltImage() {
    const std::string built = vmtest::ReadBytes(out_);
    return built.substr(0, vmtest::ReadPayload(out_).back().Trailer.StartOffset);
  }

  vmtest::TempDir dir_;
  vmtest::RunnerFixtureOptions options_;
  std::string runnerBytes_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("movie.exe");
  const std::string movie_ = dir_.File("movie.swf");
  const std::string icon_ = dir_.File("author.ico");
  const std::vector<vmtest::IconFixtureImage> images_ = {
      {16, vmtest::SolidBitmapImage(16, 0xFFFF0000)},
      {32, vmtest::SolidBitmapImage(32, 0xFF0000FF)},
      {256, vmtest::SolidPngImage(256, 0xFF00FF00)},
  };
};

TEST_P(IdentityBuildTest, TheIconAndTheTextsReplaceTheRunnersAndTheRestStays) {
  const vmtest::VmpackResult built =
      Build({"--icon", icon_, "--product", "Cloud Atlas", "--description", "A movie",
             "--copyright", "(c) 2024 M. Author", "--version", "2.3.4.5"});
  ASSERT_EQ(built.ExitCode, 0) << built.Err;
  EXPECT_EQ(vmtest::ReadBytes(runner_), runnerBytes_);

  const std::string image = BuiltImage();
  // The sections' bytes stay where they were: the program addresses them there. The symbol
  // table after them moves behind the new section, and its pointer with it.
  const size_t symbolsPointer = FieldAt(runnerBytes_, 0x3C) + 12;
  const size_t symbolsAt = FieldAt(runnerBytes_, symbolsPointer);
  EXPECT_EQ(image.substr(vmtest::kFixtureHeadersSize, symbolsAt - vmtest::kFixtureHeadersSize),
            runnerBytes_.substr(vmtest::kFixtureHeadersSize, symbolsAt - vmtest::kFixtureHeadersSize));
  EXPECT_EQ(image.substr(FieldAt(image, symbolsPointer)), runnerBytes_.substr(symbolsAt));
  const vm::pack::PeImage pe(image, out_);
  EXPECT_EQ(pe.IsPe32Plus(), GetParam().Pe32Plus);
  const vm::pack::ResourceTree& tree = pe.Resources();
  const vm::pack::ResourceTree before = vm::pack::PeImage(runnerBytes_, runner_).Resources();

  const auto& icons = tree.at(ResourceId::Of(vm::pack::kIconType));
  const std::string& group = tree.at(ResourceId::Of(vm::pack::kIconGroupType)).at(kMainIcon).at(kEnglish).Bytes;
  // Icon 2 belongs to the group OTHER, so the new images take 1, 3 and 4.
  EXPECT_EQ(GroupIds(group), (std::vector<uint32_t>{1, 3, 4}));
  ASSERT_EQ(icons.size(), 4u);
  for (size_t i = 0; i < images_.size(); ++i) {
    const uint32_t id = GroupIds(group)[i];
    EXPECT_EQ(icons.at(ResourceId::Of(id)).at(kEnglish).Bytes, images_[i].Bytes) << id;
    EXPECT_EQ(FieldAt(group, 6 + 14 * i + 8), images_[i].Bytes.size());
    EXPECT_EQ(FieldAt(group, 6 + 14 * i, 1), static_cast<uint32_t>(images_[i].Size & 0xFF));
  }
  EXPECT_EQ(icons.at(ResourceId::Of(2)).at(kEnglish).Bytes,
            before.at(ResourceId::Of(3)).at(ResourceId::Of(2)).at(kEnglish).Bytes);
  EXPECT_EQ(tree.at(ResourceId::Of(14)).at(ResourceId::Named(u"OTHER")).at(kEnglish).Bytes,
            before.at(ResourceId::Of(14)).at(ResourceId::Named(u"OTHER")).at(kEnglish).Bytes);
  EXPECT_EQ(tree.at(ResourceId::Of(24)).at(ResourceId::Of(1)).at(kEnglish).Bytes, "<assembly/>");

  const std::string& version = tree.at(ResourceId::Of(16)).at(ResourceId::Of(1)).at(kEnglish).Bytes;
  for (const char16_t* text : {u"Cloud Atlas", u"A movie", u"(c) 2024 M. Author", u"2.3.4.5",
                                     u"Vardel Mossant"})
    EXPECT_NE(version.find(Utf16Bytes(text)), std::string::npos);
  EXPECT_EQ(version.find(Utf16Bytes(u"Vardel Mossant movie runner")), std::string::npos);

  const vmtest::VmpackResult verified = vmtest::Vmpack({"verify", out_});
  EXPECT_EQ(verified.ExitCode, 0) << verified.Err;
  vmtest::TempDir target;
  ASSERT_EQ(vmtest::Vmpack({"extract", out_, "-C", target.Path()}).ExitCode, 0);
  EXPECT_EQ(vmtest::ReadBytes(target.File("movie.swf")), vmtest::Compressible(3000));
}

// The loader's rules for the added section: one more entry, contiguous after the last section,
// aligned in the file, covered by SizeOfImage, named as the resource section, the data directory
// on it, and the old one renamed; the checksum is the image's own.
TEST_P(IdentityBuildTest, TheNewSectionKeepsTheImageWellFormed) {
  ASSERT_EQ(Build({"--icon", icon_}).ExitCode, 0);
  const std::string image = BuiltImage();
  const size_t pe = FieldAt(image, 0x3C);
  const size_t optional = pe + 24;
  const size_t table = optional + FieldAt(image, pe + 20, 2);
  const size_t directories = optional + (GetParam().Pe32Plus ? 112 : 96);
  ASSERT_EQ(FieldAt(image, pe + 6, 2), 4u);
  const size_t reloc = table + 2 * 40, added = table + 3 * 40;
  EXPECT_EQ(image.substr(table + 40, 8), std::string(".oldrsrc", 8));
  EXPECT_EQ(image.substr(added, 8), std::string(".rsrc\0\0\0", 8));
  const uint32_t rva = FieldAt(image, added + 12), virtualSize = FieldAt(image, added + 8);
  EXPECT_EQ(rva, FieldAt(image, reloc + 12) + 0x1000);
  EXPECT_EQ(FieldAt(image, optional + 56), rva + (virtualSize + 0xFFF) / 0x1000 * 0x1000);
  // The new bytes follow the last section's, within the image's virtual size.
  const uint32_t rawAt = FieldAt(image, added + 20), rawSize = FieldAt(image, added + 16);
  EXPECT_EQ(rawAt, FieldAt(image, reloc + 20) + FieldAt(image, reloc + 16));
  EXPECT_EQ(rawSize % 0x200, 0u);
  EXPECT_GE(rawSize, virtualSize);
  EXPECT_LE(rawAt + rawSize, FieldAt(image, optional + 56));
  EXPECT_EQ(FieldAt(image, pe + 12), FieldAt(runnerBytes_, pe + 12) + rawSize);
  EXPECT_EQ(image.size(), runnerBytes_.size() + rawSize);
  EXPECT_EQ(FieldAt(image, directories + 16), rva);
  EXPECT_EQ(FieldAt(image, directories + 20), virtualSize);
  EXPECT_EQ(FieldAt(image, optional + 8), FieldAt(runnerBytes_, optional + 8) + rawSize);
  EXPECT_EQ(FieldAt(image, optional + 64), vm::pack::PeChecksum(image, optional + 64));
  EXPECT_NE(FieldAt(image, optional + 64), 0x1234u);
}

TEST_P(IdentityBuildTest, VersionOptionsAloneLeaveTheIconsAsTheyWere) {
  ASSERT_EQ(Build({"--company", "Author Films"}).ExitCode, 0);
  const vm::pack::ResourceTree before = vm::pack::PeImage(runnerBytes_, runner_).Resources();
  vm::pack::ResourceTree after = vm::pack::PeImage(BuiltImage(), out_).Resources();
  const std::string version = after.at(ResourceId::Of(16)).at(ResourceId::Of(1)).at(kEnglish).Bytes;
  EXPECT_NE(version.find(Utf16Bytes(u"Author Films")), std::string::npos);
  EXPECT_NE(version.find(Utf16Bytes(u"Vardel Mossant movie runner")), std::string::npos);
  after.erase(ResourceId::Of(16));
  vm::pack::ResourceTree beforeWithoutVersion = before;
  beforeWithoutVersion.erase(ResourceId::Of(16));
  EXPECT_TRUE(after == beforeWithoutVersion);
}

TEST_P(IdentityBuildTest, ARunnerThatCannotTakeTheIdentityIsRefusedAndNothingIsWritten) {
  const std::string refusal = "vmpack: Cannot change the icon or version of " + runner_ + ": ";
  const std::string notRunner = "vmpack: Not a Runner of Vardel Mossant (runner.exe): " + runner_ + ": ";
  auto expectRefused = [&](std::vector<std::string> identity, const std::string& error) {
    const vmtest::VmpackResult built = Build(identity);
    EXPECT_EQ(built.ExitCode, 1) << error;
    EXPECT_EQ(built.Err, error + "\n");
    EXPECT_FALSE(vmtest::Exists(out_));
    EXPECT_EQ(vmtest::ListNames(dir_.Path()).size(), 3u) << "a temporary file was left";
  };
  std::vector<vmtest::FixtureResource> noIcon, noVersion;
  for (const auto& r : vmtest::RunnerLikeResources()) {
    if (r.Name != u"MAINICON") noIcon.push_back(r);
    if (r.Type != 16) noVersion.push_back(r);
  }
  WriteRunner(noIcon);
  expectRefused({"--icon", icon_}, notRunner + "it has no icon group \"MAINICON\", which the Runner loads");
  WriteRunner(noVersion);
  expectRefused({"--version", "1.2.3.4"},
                "vmpack: " + runner_ + " has no version information (RT_VERSION 1) to change");

  options_.Signed = true;
  WriteRunner(vmtest::RunnerLikeResources());
  expectRefused({"--icon", icon_}, refusal + "it is signed, and its signature would not hold for "
                "a new icon or version; build from the unsigned Runner and sign the built program");
  options_.Signed = false;
  options_.FullHeaders = true;
  WriteRunner(vmtest::RunnerLikeResources());
  expectRefused({"--product", "P"}, refusal + "its headers have no room for one more section");

  std::string damaged = vmtest::RunnerFixture(vmtest::RunnerLikeResources(), {GetParam().Pe32Plus});
  damaged[vmtest::kFixtureHeadersSize + 0x200 + 16 + 6] = '\x7F';  // the first type's table, far off
  vmtest::WriteBytes(runner_, damaged);
  expectRefused({"--product", "P"}, notRunner + "its resources are damaged");

  vmtest::WriteBytes(runner_, vmtest::FakeRunnerImage());
  expectRefused({"--product", "P"}, notRunner + "it has no MZ and PE headers");
  vmtest::WriteBytes(runner_, runnerBytes_.substr(0, 0x100));
  expectRefused({"--product", "P"}, notRunner + "its headers are cut short");
  const size_t pe = FieldAt(runnerBytes_, 0x3C);
  const size_t relocHeader = pe + 24 + FieldAt(runnerBytes_, pe + 20, 2) + 2 * 40;
  vmtest::WriteBytes(runner_, runnerBytes_.substr(0, FieldAt(runnerBytes_, relocHeader + 20) + 4));
  expectRefused({"--product", "P"}, refusal + "its sections reach past the end of the file");
}

TEST_P(IdentityBuildTest, BadIdentityOptionsAreRefusedAndNothingIsWritten) {
  vmtest::WriteBytes(dir_.File("bad.ico"), "GIF89a");
  const struct {
    std::vector<std::string> Identity;
    std::string Error;
  } cases[] = {
      {{"--icon", dir_.File("bad.ico")},
       dir_.File("bad.ico") + " is not an icon file: it does not start with an .ico header"},
      {{"--icon", dir_.File("none.ico")}, "Icon file not found: " + dir_.File("none.ico")},
      {{"--icon", dir_.Path()}, "Not a regular file: " + dir_.Path()},
      {{"--version", "1.2.3"}, "--version needs four numbers from 0 to 65535, as in 1.2.0.7: \"1.2.3\""},
      {{"--product", std::string(1025, 'p')},
       "--product is 1025 UTF-16 units long; the version information takes at most 1024"},
  };
  for (const auto& c : cases) {
    const vmtest::VmpackResult built = Build(c.Identity);
    EXPECT_EQ(built.ExitCode, 1) << c.Error;
    EXPECT_EQ(built.Err, "vmpack: " + c.Error + "\n");
    EXPECT_FALSE(vmtest::Exists(out_));
  }
}

// The sessions of a payload point into the file by offset, so the image before them must not
// change: a Runner that holds sessions, and --append, refuse the identity options.
TEST_P(IdentityBuildTest, SessionsAlreadyWrittenRefuseTheIdentityOptions) {
  ASSERT_EQ(Build({}).ExitCode, 0);
  const std::string packed = vmtest::ReadBytes(out_);

  const vmtest::VmpackResult appended = vmtest::Vmpack(
      {"build", "--append", "-o", out_, "--session", "Two", "--icon", icon_, movie_});
  EXPECT_EQ(appended.ExitCode, 2);
  EXPECT_EQ(appended.Err,
            "vmpack: --icon and the version options need --runner: the sessions already in "
            "OUT.exe lie at fixed offsets after the Runner's bytes\n"
            "Try 'vmpack build --help' for more information.\n");

  const std::string again = dir_.File("again.exe");
  const vmtest::VmpackResult rebuilt = vmtest::Vmpack(
      {"build", "--runner", out_, "-o", again, "--session", "Two", "--version", "1.0.0.1", movie_});
  EXPECT_EQ(rebuilt.ExitCode, 2);
  EXPECT_EQ(rebuilt.Err,
            "vmpack: " + out_ + " already holds sessions, which lie at fixed offsets after the "
            "Runner's bytes: give --icon and the version options with a Runner that holds none\n"
            "Try 'vmpack build --help' for more information.\n");
  EXPECT_FALSE(vmtest::Exists(again));
  EXPECT_EQ(vmtest::ReadBytes(out_), packed);
}

INSTANTIATE_TEST_SUITE_P(Layouts, IdentityBuildTest,
                         ::testing::Values(Layout{true, "Pe32Plus"}, Layout{false, "Pe32"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Damaged resource directories read as nothing rather than as a half-built tree or a loop.
TEST(ResourceTreeTest, ADamagedDirectoryReadsAsNone) {
  auto read = [](const std::string& section) {
    return vm::pack::ReadResourceTree(
        [&](uint32_t rva, uint32_t size) -> std::optional<std::string> {
          if (rva < 0x1000 || rva - 0x1000 + uint64_t{size} > section.size()) return std::nullopt;
          return section.substr(rva - 0x1000, size);
        },
        0x1000, static_cast<uint32_t>(section.size()));
  };
  vm::pack::ResourceTree tree;
  tree[ResourceId::Of(3)][ResourceId::Of(1)][kEnglish] = {"icon", 0};
  tree[ResourceId::Of(14)][kMainIcon][kEnglish] = {"group", 1252};
  const std::string good = vm::pack::WriteResourceTree(tree, 0x1000);
  ASSERT_TRUE(read(good));
  EXPECT_TRUE(*read(good) == tree);

  std::string loop = good;
  loop[16 + 4] = loop[16 + 5] = loop[16 + 6] = '\0';  // the first type points back at the root
  std::string wideCount = good;
  wideCount[14] = '\xFF';
  std::string farName = good;
  const size_t mainIconEntry = FieldAt(good, 16 + 8 + 4) & 0x7FFFFFFF;  // type 14's table
  farName[mainIconEntry + 16 + 1] = '\x70';
  std::string dataOutside = good;
  std::string iconRva(4, '\0');
  const uint32_t rva = 0x1000 + static_cast<uint32_t>(good.find("icon"));
  for (size_t i = 0; i < 4; ++i) iconRva[i] = static_cast<char>(rva >> (8 * i));
  dataOutside[good.find(iconRva) + 1] = '\x70';
  for (const std::string& bytes : {loop, wideCount, farName, dataOutside, good.substr(0, 40)})
    EXPECT_FALSE(read(bytes));
}

TEST(IdentityHelpTest, BuildHelpDescribesEveryIdentityOption) {
  const std::string help = vmtest::Vmpack({"build", "--help"}).Out;
  for (const vm::pack::KnownOption& option : vm::pack::kIdentityOptions)
    EXPECT_NE(help.find("  " + option.LongName + " "), std::string::npos) << option.LongName;
}

}  // namespace
