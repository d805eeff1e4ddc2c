#include "mainwindow/FileListBox.h"
#include "platform/os/Drives.h"

#include <QMouseEvent>

#include <algorithm>

namespace tarnwick {

FileListBox::FileListBox(std::string extension, QWidget* parent)
    : QListWidget(parent), extension_(ToLower(extension))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // A click (also on the selected entry) and a move by keyboard both count
    // as a click; listing an already listed volume costs nothing.
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (Click)
            Click();
    });
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && Click)
            Click();
    });
}

void FileListBox::SetPath(const std::string& path)
{
    path_ = path;
    Refresh();
}

void FileListBox::Refresh()
{
    const QSignalBlocker quiet(this);
    clear();
    auto entries = os::ListFolderEntries(path_);
    if (!entries)
        return;
    std::vector<std::string> names;
    for (const std::string& n : entries->files) {
        if (n.size() >= extension_.size() && ToLower(n.substr(n.size() - extension_.size())) == extension_)
            names.push_back(n);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = ToLower(a), lb = ToLower(b);
        return la != lb ? la < lb : a < b;
    });
    for (const std::string& n : names)
        addItem(QString::fromLocal8Bit(n));
}

std::string FileListBox::FileName() const
{
    const QList<QListWidgetItem*> chosen = selectedItems();
    return chosen.isEmpty() ? std::string() : chosen.front()->text().toLocal8Bit().toStdString();
}

void FileListBox::SelectRow(int row)
{
    {
        const QSignalBlocker quiet(this);
        setCurrentRow(row);
    }
    if (Click)
        Click();
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        if (MouseDown)
            MouseDown(event->button(), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

} // namespace tarnwick
