#pragma once
// One command line of a tarnvol command, taken apart the way getopt_long
// does it: short options combine ("-0l"), a short option's value may stand
// joined ("-Cdir") or as the next argument, a long option's value after "="
// or as the next argument, options and operands mix in any order, and "--"
// ends the options ("-" alone is an operand: standard input or output).
// Nothing is printed here: a wrong line comes back with its reason.
#include <string>
#include <vector>

namespace tarnvol {

struct OptionSpec {
    char shortName;       // 0 when it has none
    const char* longName; // nullptr when it has none
    bool takesValue;
};

struct OptionLine {
    struct Given {
        std::string key;   // the long name, or the short letter when there is no long one
        std::string value; // empty for an option without a value
    };
    std::vector<Given> options; // in the order given
    std::vector<std::string> operands;
    std::string error; // not empty: the line is wrong, and this says why

    bool Has(const std::string& key) const;
    std::size_t Count(const std::string& key) const;
    std::vector<std::string> Values(const std::string& key) const;
};

OptionLine ParseOptionLine(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

} // namespace tarnvol
