#pragma once
// A folder list in the classic style: the chain of folders from the root down
// to the current one, then the current folder's subfolders. A double click
// (or Enter) on an entry makes it the current folder.
#include "platform/PathStyle.h"

#include <QListWidget>

#include <functional>
#include <string>

namespace tarnwick {

class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(PathStyle style, QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }
    // Shows `path` (a folder) and raises Change when it differs from the
    // current one. A folder that cannot be read is shown without subfolders.
    void SetPath(const std::string& path);
    // Lists the current folder again (folders may have come or gone).
    void Refresh();

    // The path an entry stands for.
    std::string EntryPath(int row) const;

    std::function<void()> Change;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Open(int row);
    PathStyle style_;
    std::string path_;
};

} // namespace tarnwick
