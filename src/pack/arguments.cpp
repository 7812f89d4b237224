#include "pack/arguments.h"

#include <algorithm>

namespace vm::pack {
namespace {

constexpr char kEndOfOptions[] = "--";
constexpr char kLongOptionPrefix[] = "--";
constexpr size_t kShortOptionLength = 2;  // "-o"

bool LooksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

const KnownOption* FindLong(const std::vector<KnownOption>& knownOptions,
                            const std::string& name) {
  auto it = std::find_if(knownOptions.begin(), knownOptions.end(),
                         [&](const KnownOption& o) { return o.LongName == name; });
  return it == knownOptions.end() ? nullptr : &*it;
}

const KnownOption* FindShort(const std::vector<KnownOption>& knownOptions,
                             const std::string& name) {
  auto it = std::find_if(knownOptions.begin(), knownOptions.end(), [&](const KnownOption& o) {
    return !o.ShortName.empty() && o.ShortName == name;
  });
  return it == knownOptions.end() ? nullptr : &*it;
}

}  // namespace

const KnownOption kHelpOption{"--help", "-h", false};
const KnownOption kCodePageOption{"--codepage", "", true};

std::vector<ArgumentItem> ParseArguments(const std::vector<std::string>& args,
                                         const std::vector<KnownOption>& knownOptions) {
  std::vector<ArgumentItem> items;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !LooksLikeOption(arg)) {
      items.push_back({"", arg});
      continue;
    }
    if (arg == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }

    const KnownOption* known = nullptr;
    std::optional<std::string> attached;
    if (arg.rfind(kLongOptionPrefix, 0) == 0) {
      size_t equals = arg.find('=');
      known = FindLong(knownOptions, arg.substr(0, equals));
      if (known != nullptr && equals != std::string::npos) {
        if (!known->TakesValue)
          throw UsageError("option " + known->LongName + " takes no value");
        attached = arg.substr(equals + 1);
      }
    } else {
      known = FindShort(knownOptions, arg.substr(0, kShortOptionLength));
      if (known != nullptr && arg.size() > kShortOptionLength) {
        if (!known->TakesValue)
          throw UsageError("option " + known->ShortName + " takes no value");
        attached = arg.substr(kShortOptionLength);
      }
    }
    if (known == nullptr) throw UsageError("unknown option " + arg);

    if (!known->TakesValue) {
      items.push_back({known->LongName, ""});
    } else if (attached) {
      items.push_back({known->LongName, *attached});
    } else if (i + 1 < args.size()) {
      items.push_back({known->LongName, args[++i]});
    } else {
      throw UsageError("option " + arg + " needs a value");
    }
  }
  return items;
}

bool HasOption(const std::vector<ArgumentItem>& items, const std::string& longName) {
  return std::any_of(items.begin(), items.end(),
                     [&](const ArgumentItem& item) { return item.Option == longName; });
}

std::optional<std::string> SingleValue(const std::vector<ArgumentItem>& items,
                                       const std::string& longName) {
  std::optional<std::string> value;
  for (const auto& item : items) {
    if (item.Option != longName) continue;
    if (value) throw UsageError("option " + longName + " given more than once");
    value = item.Value;
  }
  return value;
}

std::vector<std::string> Operands(const std::vector<ArgumentItem>& items) {
  std::vector<std::string> operands;
  for (const auto& item : items) {
    if (item.Option.empty()) operands.push_back(item.Value);
  }
  return operands;
}

std::string SingleOperand(const std::vector<ArgumentItem>& items, const std::string& what) {
  std::vector<std::string> operands = Operands(items);
  if (operands.empty()) throw UsageError("missing " + what);
  if (operands.size() > 1) throw UsageError("unexpected argument " + operands[1]);
  return operands[0];
}

}  // namespace vm::pack
