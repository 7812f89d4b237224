#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vmtest {

struct FixtureResource {
  uint32_t Type = 0;
  std::u16string Name;  // empty: the resource has the number Id
  uint32_t Id = 0;
  uint32_t Language = 0x409;
  std::string Bytes;
};

struct RunnerFixtureOptions {
  bool Pe32Plus = true;
  bool Signed = false;       // a certificate entry in the headers and a certificate at the end
  bool FullHeaders = false;  // the section table ends where the first section's bytes begin
};

// A Windows program laid out as the linker lays out the Runner: code, the resources in their own
// section, relocations after them, then a symbol table after the last section. Its resource
// directory is written depth first here, unlike vmpack's, so that both writers are tried.
std::string RunnerFixture(const std::vector<FixtureResource>& resources,
                          const RunnerFixtureOptions& options = {});

// Where the fixture's first section begins; the bytes from there on are the image proper.
constexpr size_t kFixtureHeadersSize = 0x400;

// The Runner's resources in small: the group "MAINICON" of icons 1 and 3, the group "OTHER" of
// icon 2, the dialogs "SETUP_DIALOG" and "PW_DIALOG", runner.rc's version information as windres
// compiles it, and a manifest.
std::vector<FixtureResource> RunnerLikeResources();

// A Runner that vmpack builds from: the fixture with the Runner's resources.
std::string RunnerImage(const RunnerFixtureOptions& options = {});

// The version information of runner.rc, as x86_64-w64-mingw32-windres compiled it.
std::string RunnerVersionResource();

}  // namespace vmtest
