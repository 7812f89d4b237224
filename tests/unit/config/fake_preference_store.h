#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/preference_store.h"

namespace vmtest {

// An in-memory preference store that remembers which values were asked for.
class FakePreferenceStore : public vm::PreferenceStore {
 public:
  static FakePreferenceStore With(std::map<std::string, std::string> values) {
    FakePreferenceStore store;
    store.Values = std::move(values);
    return store;
  }

  std::optional<std::string> ReadString(const std::string& name) const override {
    Reads.push_back(name);
    auto found = Values.find(name);
    if (found == Values.end()) return std::nullopt;
    return found->second;
  }
  void WriteString(const std::string& name, const std::string& value) override { Values[name] = value; }

  std::map<std::string, std::string> Values;
  mutable std::vector<std::string> Reads;
};

}  // namespace vmtest
