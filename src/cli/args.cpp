#include "cli/args.h"

#include <algorithm>

#include "common/text.h"

namespace tintmoor::cli {

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

}  // namespace

bool Args::Has(const std::string& flag) const { return Contains(flags, flag); }

const std::string* Args::Option(const std::string& name) const {
  const auto it = options.find(name);
  return it == options.end() ? nullptr : &it->second;
}

Args ParseArgs(std::span<const std::string> args, const AcceptedArgs& accepted) {
  Args out;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnded || a == "-" || !a.starts_with("-") ||
        (a.size() > 1 && (a[1] >= '0' && a[1] <= '9'))) {
      out.positionals.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a == "-h" || a == "--help") {
      out.flags.push_back("--help");
      continue;
    }
    const size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    if (Contains(accepted.options, name)) {
      if (eq != std::string::npos) {
        out.options[name] = a.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        out.options[name] = args[++i];
      } else {
        throw UsageError(name + " needs a value");
      }
      // "--data-dir=" would quietly mean the current folder.
      if (out.options[name].empty()) throw UsageError(name + " needs a value");
    } else if (Contains(accepted.flags, name) && eq == std::string::npos) {
      out.flags.push_back(name);
    } else {
      throw UsageError("unknown option " + common::Shown(a));
    }
  }
  return out;
}

}  // namespace tintmoor::cli
