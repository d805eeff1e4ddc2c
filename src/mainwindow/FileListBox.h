#pragma once
// A file list in the classic style: the files of one folder whose names match
// a pattern ("*.vol", without regard to case), sorted, one selectable at a
// time. A right click reports itself without touching the selection.
#include "platform/PathStyle.h"

#include <QListWidget>

#include <functional>
#include <string>

namespace tarnwick {

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(std::string extension, QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }
    void SetPath(const std::string& path);
    void Refresh();

    // The selected file's name, "" when none is selected.
    std::string FileName() const;
    // Selects an entry and raises Click, as a user's click does.
    void SelectRow(int row);

    std::function<void()> Click;
    std::function<void(Qt::MouseButton button, const QPoint& globalPos)> MouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::string extension_;
    std::string path_;
};

} // namespace tarnwick
