#include "OptionLine.h"

namespace tarnvol {

namespace {

std::string KeyOf(const OptionSpec& s)
{
    return s.longName ? std::string(s.longName) : std::string(1, s.shortName);
}

// "--name", "--name=value" or "--name value" (the value then moves `i` on);
// why it is wrong, empty when it is not.
std::string TakeLongOption(const std::vector<std::string>& args, std::size_t& i, const std::vector<OptionSpec>& specs,
                           std::vector<OptionLine::Given>& options)
{
    const std::string& a = args[i];
    const std::size_t eq = a.find('=');
    const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    const OptionSpec* known = nullptr;
    for (const OptionSpec& s : specs)
        if (s.longName && name == s.longName)
            known = &s;
    if (!known)
        return "unknown option '--" + name + "'";
    OptionLine::Given given{KeyOf(*known), {}};
    if (!known->takesValue) {
        if (eq != std::string::npos)
            return "option '--" + name + "' takes no value";
    } else if (eq != std::string::npos) {
        given.value = a.substr(eq + 1);
    } else if (i + 1 < args.size()) {
        given.value = args[++i];
    } else {
        return "option '--" + name + "' needs a value";
    }
    options.push_back(std::move(given));
    return {};
}

// One word of short options ("-0l", "-Cdir", or "-C dir", the value then
// moving `i` on); why it is wrong, empty when it is not.
std::string TakeShortOptions(const std::vector<std::string>& args, std::size_t& i,
                             const std::vector<OptionSpec>& specs, std::vector<OptionLine::Given>& options)
{
    const std::string& a = args[i];
    for (std::size_t k = 1; k < a.size(); ++k) {
        const OptionSpec* known = nullptr;
        for (const OptionSpec& s : specs)
            if (s.shortName && s.shortName == a[k])
                known = &s;
        if (!known)
            return std::string("unknown option '-") + a[k] + "'";
        OptionLine::Given given{KeyOf(*known), {}};
        if (known->takesValue) {
            // The rest of the word is the value; else the next argument.
            if (k + 1 < a.size())
                given.value = a.substr(k + 1);
            else if (i + 1 < args.size())
                given.value = args[++i];
            else
                return std::string("option '-") + a[k] + "' needs a value";
            options.push_back(std::move(given));
            break;
        }
        options.push_back(std::move(given));
    }
    return {};
}

} // namespace

bool OptionLine::Has(const std::string& key) const { return Count(key) > 0; }

std::size_t OptionLine::Count(const std::string& key) const
{
    std::size_t n = 0;
    for (const Given& g : options)
        n += g.key == key;
    return n;
}

std::vector<std::string> OptionLine::Values(const std::string& key) const
{
    std::vector<std::string> values;
    for (const Given& g : options)
        if (g.key == key)
            values.push_back(g.value);
    return values;
}

OptionLine ParseOptionLine(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs)
{
    OptionLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            line.operands.insert(line.operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (a.size() < 2 || a[0] != '-') {
            line.operands.push_back(a);
            continue;
        }
        std::string why = a[1] == '-' ? TakeLongOption(args, i, specs, line.options)
                                      : TakeShortOptions(args, i, specs, line.options);
        if (!why.empty()) {
            line.options.clear();
            line.operands.clear();
            line.error = std::move(why);
            return line;
        }
    }
    return line;
}

} // namespace tarnvol
