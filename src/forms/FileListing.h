#pragma once
// The volume list's values, in the classic style: the files of one folder
// whose names end in an extension (".vol", without regard to case), sorted,
// one selectable at a time.
#include <string>
#include <vector>

namespace tarnwick {

class FileListing {
public:
    explicit FileListing(std::string extension);

    const std::string& Path() const { return path_; }
    // Lists `path`; the selection goes.
    void SetPath(const std::string& path);
    void Refresh();

    const std::vector<std::string>& Names() const { return names_; }
    int Selected() const { return selected_; }
    // -1, or a row outside the list, selects none.
    void Select(int row);
    // The selected file's name, "" when none is selected.
    std::string FileName() const;

private:
    std::string extension_;
    std::string path_;
    std::vector<std::string> names_;
    int selected_ = -1;
};

} // namespace tarnwick
