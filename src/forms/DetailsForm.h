#pragma once
// The "Volume Details" window's form: a volume's name, size, date, number of
// names and its three directory values, as the value labels show them. The
// Properties command fills it and has the toolkit show it.
#include "forms/ControlLayout.h"
#include "forms/Form.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace tarnwick {

class Toolkit;

class DetailsForm : public Form {
public:
    explicit DetailsForm(Toolkit& toolkit);

    static const WindowLayout& Layout();

    // What the size and date labels say when the file cannot be examined
    // (removed after it was found to be a volume).
    static constexpr const char* kUnknown = "unknown";

    // The name as it is on the disk, in the system's locale text (the
    // window converts it); the others UTF-8.
    std::string labName;
    std::string labSize;
    std::string labDate;
    std::string labFileCount;
    std::string labPVOL;
    std::string labVOLS;
    std::string labVOLI;

    // Fills the value labels. A missing size or date shows kUnknown.
    void Fill(const std::string& name, std::optional<std::int64_t> size, std::optional<std::time_t> modified,
              long long fileCount, std::int32_t pvol, std::int32_t vols, std::int32_t voli);

    // The system's general date: short date, then long time, the time left
    // out at exactly midnight. Nothing when the moment has no local time.
    std::optional<std::string> GeneralDate(std::time_t when) const;

    void cmdOK_Click();

private:
    Toolkit& toolkit_;
};

} // namespace tarnwick
