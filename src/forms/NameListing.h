#pragma once
// The contents list's values: the names of the listed volume, sorted, and
// which of them are selected. The reader's table text is shared, not copied;
// besides it each name costs four bytes of place and one of selection, where
// an item and a text per name would cost a hundred.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class NameListing {
public:
    // Lists the non-empty names of `table` (every name followed by "/"),
    // sorted, none selected. Throws std::bad_alloc, and then lists nothing.
    void SetTable(std::shared_ptr<const std::string> table);
    void Clear();

    std::size_t Count() const { return starts_.size(); }
    // The stored bytes of a row's name, whole; empty for a row not listed.
    std::string_view Name(std::size_t row) const;
    // What a row shows: its name as UTF-8 text of the code page, a very long
    // one cut after kShownBytes bytes and marked with "…".
    std::string Text(std::size_t row) const;

    bool IsSelected(std::size_t row) const { return row < selected_.size() && selected_[row] != 0; }
    void SetSelected(std::size_t row, bool selected);
    // Rows first..last, both included.
    void SetRangeSelected(std::size_t first, std::size_t last, bool selected);
    void SelectAll(bool selected);
    bool HasSelection() const { return selectedCount_ > 0; }
    std::size_t SelectedCount() const { return selectedCount_; }
    // The selected names' stored bytes, in list order.
    std::vector<std::string> SelectedNames() const;

    // Changes with every SetTable and Clear: a view that shows the list
    // knows by it whether the names or only the selection changed.
    std::uint64_t Generation() const { return generation_; }

    // Laying out a text of megabytes takes a window minutes.
    static constexpr std::size_t kShownBytes = 1024;

private:
    std::shared_ptr<const std::string> table_;
    std::vector<std::uint32_t> starts_;
    std::vector<unsigned char> selected_;
    std::size_t selectedCount_ = 0;
    std::uint64_t generation_ = 0;
};

} // namespace tarnwick
