#pragma once
// What the main window hands the progress window: one extraction job's
// names and options, read when the progress window's timer fires. How its
// paths are spelled is the progress form's, fixed when its job is made.
#include <string>
#include <vector>

namespace tarnwick {

struct ExtractionRequest {
    // The stored bytes of each selected name, in list order.
    std::vector<std::string> names;
    std::string volumePath;
    std::string destination;
    std::string extractor;
    bool overwrite = false;
    bool recreateStructure = true;
};

} // namespace tarnwick
