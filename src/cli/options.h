// A small command-line parser for mwbatch's commands: options with or
// without a value ("--objects DIR", "--objects=DIR", "--type-names"),
// positional arguments, and "--" to end the options.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace cli {

struct ParsedOptions {
    std::map<std::string, std::string> values;  // options with a value
    std::set<std::string> flags;                // options without one
    std::vector<std::string> positionals;
    std::string error;  // empty when the line was understood
    bool help = false;  // -h or --help

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::string Value(const std::string& option, const std::string& fallback = {}) const {
        auto it = values.find(option);
        return it != values.end() ? it->second : fallback;
    }
};

// `withValue` and `flags` name the known options, each with its "--".
ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::set<std::string>& withValue,
                           const std::set<std::string>& flags);

}  // namespace cli
