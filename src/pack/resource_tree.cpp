#include "pack/resource_tree.h"

#include <set>
#include <vector>

#include "pack/little_endian.h"

namespace vm::pack {
namespace {

constexpr size_t kDirectorySize = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000;
constexpr size_t kDataAlignment = 8;

class TreeReader {
 public:
  TreeReader(const ImageReader& image, std::string directory)
      : image_(image), directory_(std::move(directory)) {}

  // One level's table: its named and numbered entries, each with the offset it points to. A
  // table reached twice is refused: a tree whose entries share tables multiplies the work with
  // each level, and one that points back loops.
  bool ReadTable(uint32_t at, std::vector<std::pair<ResourceId, uint32_t>>& entries) {
    if (!Holds(at, kDirectorySize) || !visited_.insert(at).second) return false;
    const size_t count = ReadLe(directory_, at + 12, 2) + ReadLe(directory_, at + 14, 2);
    if (!Holds(at + kDirectorySize, count * kEntrySize)) return false;
    for (size_t i = 0; i < count; ++i) {
      const size_t entry = at + kDirectorySize + i * kEntrySize;
      const uint32_t name = ReadLe(directory_, entry, 4);
      ResourceId id = ResourceId::Of(name);
      if (name & kHighBit) {
        std::optional<std::u16string> text = NameAt(name & ~kHighBit);
        if (!text) return false;
        id = ResourceId::Named(*text);
      }
      entries.emplace_back(id, ReadLe(directory_, entry + 4, 4));
    }
    return true;
  }

  std::optional<ResourceData> DataAt(uint32_t at) const {
    if (!Holds(at, kDataEntrySize)) return std::nullopt;
    std::optional<std::string> bytes =
        image_(ReadLe(directory_, at, 4), ReadLe(directory_, at + 4, 4));
    if (!bytes) return std::nullopt;
    return ResourceData{*bytes, ReadLe(directory_, at + 8, 4)};
  }

 private:
  bool Holds(uint64_t at, uint64_t size) const { return at + size <= directory_.size(); }

  std::optional<std::u16string> NameAt(uint32_t at) const {
    if (!Holds(at, 2)) return std::nullopt;
    const size_t length = ReadLe(directory_, at, 2);
    if (length == 0 || !Holds(at + 2, length * 2)) return std::nullopt;
    std::u16string name;
    for (size_t i = 0; i < length; ++i)
      name.push_back(static_cast<char16_t>(ReadLe(directory_, at + 2 + 2 * i, 2)));
    return name;
  }

  const ImageReader& image_;
  std::string directory_;
  std::set<uint32_t> visited_;
};

// Each level's entries point to subdirectories, the last level's to data entries; a tree that
// says otherwise would have the reader loop or read data as a directory.
bool PointsToSubdirectory(uint32_t target) { return (target & kHighBit) != 0; }

// The levels' types stop the descent after three: type, name, language.
template <typename Level>
bool ReadLevel(TreeReader& reader, uint32_t at, Level& level);

template <>
bool ReadLevel(TreeReader& reader, uint32_t at, ResourceLanguages& level) {
  std::vector<std::pair<ResourceId, uint32_t>> entries;
  if (!reader.ReadTable(at, entries)) return false;
  for (const auto& [id, target] : entries) {
    if (PointsToSubdirectory(target)) return false;
    std::optional<ResourceData> data = reader.DataAt(target);
    if (!data) return false;
    level[id] = *data;
  }
  return true;
}

template <typename Level>
bool ReadLevel(TreeReader& reader, uint32_t at, Level& level) {
  std::vector<std::pair<ResourceId, uint32_t>> entries;
  if (!reader.ReadTable(at, entries)) return false;
  for (const auto& [id, target] : entries) {
    if (!PointsToSubdirectory(target) || !ReadLevel(reader, target & ~kHighBit, level[id]))
      return false;
  }
  return true;
}

void AppendTable(std::string& out, size_t entries) {
  const size_t at = out.size();
  out.resize(at + kDirectorySize + entries * kEntrySize, '\0');
}

// Lays the tree out in four regions: every directory table, breadth first; the names; the data
// entries; the data. Offsets in the tables are relative to the section, data addresses are RVAs.
class TreeWriter {
 public:
  explicit TreeWriter(const ResourceTree& tree) : tree_(tree) {}

  std::string Write(uint32_t sectionRva) {
    std::string tables;
    std::vector<Pending> pending;
    const size_t rootEntries = tree_.size();
    AppendTable(tables, rootEntries);
    PutCounts(tables, 0, tree_);
    size_t entry = kDirectorySize;
    for (const auto& [type, names] : tree_) {
      pending.push_back({entry, type, tables.size() | kHighBit, false});
      entry += kEntrySize;
      const size_t namesAt = tables.size();
      AppendTable(tables, names.size());
      PutCounts(tables, namesAt, names);
      size_t nameEntry = namesAt + kDirectorySize;
      for (const auto& [name, languages] : names) {
        nameTables_.push_back({nameEntry, name, &languages});
        nameEntry += kEntrySize;
      }
    }
    std::vector<std::pair<size_t, const ResourceData*>> dataEntries;
    for (const NameTable& table : nameTables_) {
      pending.push_back({table.Entry, table.Name, tables.size() | kHighBit, false});
      const size_t languagesAt = tables.size();
      AppendTable(tables, table.Languages->size());
      PutCounts(tables, languagesAt, *table.Languages);
      size_t languageEntry = languagesAt + kDirectorySize;
      for (const auto& [language, data] : *table.Languages) {
        pending.push_back({languageEntry, language, dataEntries.size(), true});
        dataEntries.emplace_back(languageEntry, &data);
        languageEntry += kEntrySize;
      }
    }

    std::string out = tables;
    for (Pending& p : pending) {
      if (p.Id.IsName()) {
        PutLe(out, p.Entry, static_cast<uint32_t>(out.size()) | kHighBit, 4);
        AppendLe(out, static_cast<uint32_t>(p.Id.Name.size()), 2);
        for (char16_t c : p.Id.Name) AppendLe(out, c, 2);
      } else {
        PutLe(out, p.Entry, p.Id.Number, 4);
      }
    }
    out.resize(AlignUp(out.size(), kDataAlignment), '\0');
    const size_t dataEntriesAt = out.size();
    out.resize(dataEntriesAt + dataEntries.size() * kDataEntrySize, '\0');
    for (Pending& p : pending) {
      const size_t target = p.ToData ? dataEntriesAt + p.Target * kDataEntrySize : p.Target;
      PutLe(out, p.Entry + 4, static_cast<uint32_t>(target), 4);
    }
    for (size_t i = 0; i < dataEntries.size(); ++i) {
      const ResourceData& data = *dataEntries[i].second;
      out.resize(AlignUp(out.size(), kDataAlignment), '\0');
      const size_t entryAt = dataEntriesAt + i * kDataEntrySize;
      PutLe(out, entryAt, sectionRva + static_cast<uint32_t>(out.size()), 4);
      PutLe(out, entryAt + 4, static_cast<uint32_t>(data.Bytes.size()), 4);
      PutLe(out, entryAt + 8, data.CodePage, 4);
      out += data.Bytes;
    }
    return out;
  }

 private:
  struct Pending {
    size_t Entry;    // where the entry sits in the tables
    ResourceId Id;
    size_t Target;   // a table's offset with the high bit, or the index of a data entry
    bool ToData;
  };
  struct NameTable {
    size_t Entry;
    ResourceId Name;
    const ResourceLanguages* Languages;
  };

  template <typename Level>
  static void PutCounts(std::string& tables, size_t at, const Level& level) {
    size_t named = 0;
    for (const auto& item : level) named += item.first.IsName() ? 1 : 0;
    PutLe(tables, at + 12, static_cast<uint32_t>(named), 2);
    PutLe(tables, at + 14, static_cast<uint32_t>(level.size() - named), 2);
  }

  const ResourceTree& tree_;
  std::vector<NameTable> nameTables_;
};

}  // namespace

bool ResourceId::operator<(const ResourceId& other) const {
  if (IsName() != other.IsName()) return IsName();
  return IsName() ? Name < other.Name : Number < other.Number;
}

bool ResourceId::operator==(const ResourceId& other) const {
  return Name == other.Name && Number == other.Number;
}

std::optional<ResourceTree> ReadResourceTree(const ImageReader& image, uint32_t rootRva,
                                             uint32_t directorySize) {
  std::optional<std::string> directory = image(rootRva, directorySize);
  if (!directory) return std::nullopt;
  TreeReader reader(image, *directory);
  ResourceTree tree;
  if (!ReadLevel(reader, 0, tree)) return std::nullopt;
  return tree;
}

std::string WriteResourceTree(const ResourceTree& tree, uint32_t sectionRva) {
  return TreeWriter(tree).Write(sectionRva);
}

}  // namespace vm::pack
