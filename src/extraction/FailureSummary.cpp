#include "extraction/FailureSummary.h"

namespace tarnwick {

std::string FailureSummary(const std::vector<std::string>& failedNames, std::size_t handled, PathStyle style)
{
    const std::size_t failed = failedNames.size();
    if (failed < 2)
        return {};
    std::string text = std::to_string(failed) + " of " + std::to_string(handled) + " files were not extracted:";
    for (std::size_t i = 0; i < failed && i < kSummaryNames; ++i)
        text += "\n" + NameAsText(failedNames[i], style);
    if (failed > kSummaryNames)
        text += "\n... and " + std::to_string(failed - kSummaryNames) + " more.";
    return text;
}

} // namespace tarnwick
