#include "unit/pack/runner_fixture.h"

#include <map>
#include <tuple>

#include "unit/pack/icon_fixture.h"

namespace vmtest {
namespace {

constexpr uint32_t kHigh = 0x80000000;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr size_t kPeAt = 0x80;
constexpr size_t kSectionCount = 3;
constexpr size_t kSymbolStringsSize = 0x10000;

void Put(std::string& bytes, size_t at, uint64_t value, size_t width) {
  if (bytes.size() < at + width) bytes.resize(at + width, '\0');
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

size_t Align(size_t value, size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

// Names sort before numbers, as the directory wants them.
using Key = std::tuple<bool, std::u16string, uint32_t>;
using Languages = std::map<uint32_t, std::string>;
using Names = std::map<Key, Languages>;
using Types = std::map<uint32_t, Names>;

class SectionWriter {
 public:
  std::string Write(const Types& types, uint32_t rva) {
    Directory(types.size(), 0);
    size_t entry = 16;
    for (const auto& [type, names] : types) {
      Link(entry, Key{true, u"", type}, dirs_.size() | kHigh);
      entry += 8;
      WriteNames(names);
    }
    const size_t stringsAt = dirs_.size();
    std::string out = dirs_ + strings_;
    out.resize(Align(out.size(), 4), '\0');
    const size_t entriesAt = out.size();
    out += entries_;
    for (const auto& [at, offset] : stringLinks_) Put(out, at, (stringsAt + offset) | kHigh, 4);
    for (const auto& [at, index] : entryLinks_) Put(out, at, entriesAt + index * 16, 4);
    for (size_t i = 0; i < data_.size(); ++i) {
      out.resize(Align(out.size(), 4), '\0');
      Put(out, entriesAt + i * 16, rva + out.size(), 4);
      Put(out, entriesAt + i * 16 + 4, data_[i].size(), 4);
      out += data_[i];
    }
    return out;
  }

 private:
  void Directory(size_t numbered, size_t named) {
    const size_t at = dirs_.size();
    dirs_.resize(at + 16 + 8 * (numbered + named), '\0');
    Put(dirs_, at + 12, named, 2);
    Put(dirs_, at + 14, numbered, 2);
  }

  void Link(size_t entry, const Key& key, size_t target) {
    if (std::get<0>(key)) {
      Put(dirs_, entry, std::get<2>(key), 4);
    } else {
      stringLinks_.emplace_back(entry, strings_.size());
      Put(strings_, strings_.size(), std::get<1>(key).size(), 2);
      for (char16_t c : std::get<1>(key)) Put(strings_, strings_.size(), c, 2);
    }
    Put(dirs_, entry + 4, target, 4);
  }

  void WriteNames(const Names& names) {
    const size_t at = dirs_.size();
    size_t named = 0;
    for (const auto& item : names) named += std::get<0>(item.first) ? 0 : 1;
    Directory(names.size() - named, named);
    size_t entry = at + 16;
    for (const auto& [name, languages] : names) {
      Link(entry, name, dirs_.size() | kHigh);
      entry += 8;
      const size_t languagesAt = dirs_.size();
      Directory(languages.size(), 0);
      size_t languageEntry = languagesAt + 16;
      for (const auto& [language, bytes] : languages) {
        Put(dirs_, languageEntry, language, 4);
        entryLinks_.emplace_back(languageEntry + 4, data_.size());
        entries_.append(16, '\0');
        data_.push_back(bytes);
        languageEntry += 8;
      }
    }
  }

  std::string dirs_, strings_, entries_;
  std::vector<std::string> data_;
  std::vector<std::pair<size_t, size_t>> stringLinks_, entryLinks_;
};

}  // namespace

std::string RunnerFixture(const std::vector<FixtureResource>& resources,
                          const RunnerFixtureOptions& options) {
  Types types;
  for (const FixtureResource& r : resources)
    types[r.Type][Key{r.Name.empty(), r.Name, r.Id}][r.Language] = r.Bytes;

  const size_t optionalSize = options.Pe32Plus ? 240 : 224;
  const size_t optionalAt = kPeAt + 24;
  const size_t tableAt = optionalAt + optionalSize;
  const size_t headersSize = options.FullHeaders ? Align(tableAt + kSectionCount * 40, kFileAlignment)
                                                 : kFixtureHeadersSize;
  const uint32_t textRva = 0x1000, rsrcRva = 0x2000;
  const std::string rsrc = SectionWriter().Write(types, rsrcRva);
  const uint32_t relocRva = static_cast<uint32_t>(rsrcRva + Align(rsrc.size(), kSectionAlignment));
  const size_t textAt = headersSize, rsrcAt = textAt + kFileAlignment;
  const size_t relocAt = rsrcAt + Align(rsrc.size(), kFileAlignment);
  const size_t symbolsAt = relocAt + kFileAlignment;

  std::string pe(symbolsAt, '\0');
  pe[0] = 'M', pe[1] = 'Z';
  Put(pe, 0x3C, kPeAt, 4);
  pe.replace(kPeAt, 4, std::string("PE\0\0", 4));
  Put(pe, kPeAt + 4, options.Pe32Plus ? 0x8664 : 0x14C, 2);
  Put(pe, kPeAt + 6, kSectionCount, 2);
  Put(pe, kPeAt + 12, symbolsAt, 4);  // symbol table
  Put(pe, kPeAt + 16, 2, 4);          // two symbols
  Put(pe, kPeAt + 20, optionalSize, 2);
  Put(pe, kPeAt + 22, options.Pe32Plus ? 0x0022 : 0x0102, 2);
  const size_t o = optionalAt;
  Put(pe, o, options.Pe32Plus ? 0x20B : 0x10B, 2);
  Put(pe, o + 4, kFileAlignment, 4);                    // size of code
  Put(pe, o + 8, Align(rsrc.size(), kFileAlignment) + kFileAlignment, 4);  // initialized data
  Put(pe, o + 16, textRva, 4);                          // entry point
  Put(pe, o + 20, textRva, 4);
  if (options.Pe32Plus) Put(pe, o + 24, 0x140000000ULL, 8);
  else Put(pe, o + 28, 0x400000, 4);
  Put(pe, o + 32, kSectionAlignment, 4);
  Put(pe, o + 36, kFileAlignment, 4);
  Put(pe, o + 40, options.Pe32Plus ? 6 : 4, 2);
  Put(pe, o + 48, options.Pe32Plus ? 6 : 4, 2);
  Put(pe, o + 56, relocRva + kSectionAlignment, 4);     // size of image
  Put(pe, o + 60, headersSize, 4);
  Put(pe, o + 64, 0x1234, 4);                           // a checksum vmpack must redo
  Put(pe, o + 68, 2, 2);                                // Windows GUI
  const size_t directories = o + (options.Pe32Plus ? 112 : 96);
  Put(pe, directories - 4, 16, 4);
  Put(pe, directories + 2 * 8, rsrcRva, 4);
  Put(pe, directories + 2 * 8 + 4, rsrc.size(), 4);
  Put(pe, directories + 5 * 8, relocRva, 4);
  Put(pe, directories + 5 * 8 + 4, 12, 4);

  struct Header { const char* Name; uint32_t Rva; size_t VirtualSize, RawAt, RawSize; uint32_t Flags; };
  const Header headers[kSectionCount] = {
      {".text", textRva, 1, textAt, kFileAlignment, 0x60000020},
      {".rsrc", rsrcRva, rsrc.size(), rsrcAt, Align(rsrc.size(), kFileAlignment), 0xC0000040},
      {".reloc", relocRva, 12, relocAt, kFileAlignment, 0x42000040},
  };
  for (size_t i = 0; i < kSectionCount; ++i) {
    const size_t s = tableAt + i * 40;
    pe.replace(s, std::string(headers[i].Name).size(), headers[i].Name);
    Put(pe, s + 8, headers[i].VirtualSize, 4);
    Put(pe, s + 12, headers[i].Rva, 4);
    Put(pe, s + 16, headers[i].RawSize, 4);
    Put(pe, s + 20, headers[i].RawAt, 4);
    Put(pe, s + 36, headers[i].Flags, 4);
  }
  pe[textAt] = '\xC3';  // ret
  pe.replace(rsrcAt, rsrc.size(), rsrc);
  Put(pe, relocAt, textRva, 4);
  Put(pe, relocAt + 4, 12, 4);
  // Two symbols and a string table larger than the image's virtual size, as a build that is not
  // stripped has: bytes placed after it would lie outside the image as laid out in memory.
  pe += std::string(18 * 2, 'S');
  Put(pe, pe.size(), kSymbolStringsSize, 4);
  pe.append(kSymbolStringsSize - 4, 's');
  if (options.Signed) {
    pe.resize(Align(pe.size(), 8), '\0');
    Put(pe, directories + 4 * 8, pe.size(), 4);
    Put(pe, directories + 4 * 8 + 4, 16, 4);
    Put(pe, pe.size(), 16, 4);
    Put(pe, pe.size(), 0x00020200, 4);
    pe.append(8, 'C');
  }
  return pe;
}

std::vector<FixtureResource> RunnerLikeResources() {
  std::string mainGroup("\0\0\1\0\2\0", 6);
  const std::string icon1 = SolidBitmapImage(16, 0xFF0000FF);
  const std::string icon2 = SolidBitmapImage(16, 0xFF00FF00);
  const std::string icon3 = SolidBitmapImage(32, 0xFFFFFFFF);
  auto entry = [](int size, const std::string& image, uint16_t id) {
    std::string e;
    e += static_cast<char>(size);
    e += static_cast<char>(size);
    e += std::string("\0\0\1\0\x20\0", 6);
    Put(e, 8, image.size(), 4);
    Put(e, 12, id, 2);
    return e;
  };
  mainGroup += entry(16, icon1, 1) + entry(32, icon3, 3);
  const std::string otherGroup = std::string("\0\0\1\0\1\0", 6) + entry(16, icon2, 2);
  return {
      {3, u"", 1, 0x409, icon1},
      {3, u"", 2, 0x409, icon2},
      {3, u"", 3, 0x409, icon3},
      {5, u"PW_DIALOG", 0, 0x409, "password dialog template"},
      {5, u"SETUP_DIALOG", 0, 0x409, "setup dialog template"},
      {14, u"MAINICON", 0, 0x409, mainGroup},
      {14, u"OTHER", 0, 0x409, otherGroup},
      {16, u"", 1, 0x409, RunnerVersionResource()},
      {24, u"", 1, 0x409, "<assembly/>"},
  };
}

std::string RunnerImage(const RunnerFixtureOptions& options) {
  return RunnerFixture(RunnerLikeResources(), options);
}

}  // namespace vmtest
