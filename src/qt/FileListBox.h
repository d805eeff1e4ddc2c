#pragma once
// Shows a file listing, one entry selectable at a time. A click (also on
// the selected entry) and a move by keyboard both count as a click; a right
// click reports itself without touching the selection.
#include <QListWidget>

#include <functional>

namespace tarnwick {

class FileListing;

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    void Show(const FileListing& listing);

    std::function<void(int row)> Click;
    std::function<void()> RightClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tarnwick
