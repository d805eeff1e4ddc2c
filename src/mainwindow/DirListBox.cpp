#include "mainwindow/DirListBox.h"
#include "platform/os/Drives.h"

#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr int kPathRole = Qt::UserRole;

// The folders from the root down to `path`, each as a whole path.
std::vector<std::string> Chain(const std::string& path, PathStyle style)
{
    const char sep = Separator(style);
    std::vector<std::string> chain;
    std::size_t rootEnd = 0;
    if (style == PathStyle::Windows && path.size() >= 2 && path[1] == ':')
        rootEnd = path.size() > 2 && path[2] == sep ? 3 : 2;
    else if (!path.empty() && path[0] == sep)
        rootEnd = 1;
    std::string root = path.substr(0, rootEnd);
    if (style == PathStyle::Windows && root.size() == 2)
        root += sep;
    if (root.empty())
        return {path};
    chain.push_back(root);
    std::string current = root;
    std::size_t start = rootEnd;
    while (start < path.size()) {
        std::size_t end = path.find(sep, start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            if (current.back() != sep)
                current += sep;
            current.append(path, start, end - start);
            chain.push_back(current);
        }
        start = end + 1;
    }
    return chain;
}

bool NameLess(const std::string& a, const std::string& b)
{
    const std::string la = ToLower(a), lb = ToLower(b);
    return la != lb ? la < lb : a < b;
}

} // namespace

DirListBox::DirListBox(PathStyle style, QWidget* parent) : QListWidget(parent), style_(style)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { Open(row(item)); });
}

std::string DirListBox::EntryPath(int r) const
{
    const QListWidgetItem* it = item(r);
    return it ? it->data(kPathRole).toString().toStdString() : std::string();
}

void DirListBox::Open(int r)
{
    const std::string target = EntryPath(r);
    if (!target.empty())
        SetPath(target);
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        Open(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirListBox::SetPath(const std::string& path)
{
    std::string p = path;
    const char sep = Separator(style_);
    // A trailing separator names the same folder, except at a root.
    while (p.size() > 1 && p.back() == sep && !(style_ == PathStyle::Windows && p.size() == 3 && p[1] == ':'))
        p.pop_back();
    const bool changed = p != path_;
    path_ = p;
    Refresh();
    if (changed && Change)
        Change();
}

void DirListBox::Refresh()
{
    clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const std::vector<std::string> chain = Chain(path_, style_);
    const char sep = Separator(style_);
    int depth = 0;
    for (const std::string& folder : chain) {
        std::string label = folder;
        if (depth > 0) {
            const std::size_t last = folder.rfind(sep);
            label = last == std::string::npos ? folder : folder.substr(last + 1);
        }
        auto* it = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + QString::fromLocal8Bit(label));
        it->setData(kPathRole, QString::fromLocal8Bit(folder));
        addItem(it);
        ++depth;
    }
    setCurrentRow(count() - 1);

    auto entries = os::ListFolderEntries(path_);
    if (!entries)
        return;
    std::vector<std::string> folders = entries->folders;
    std::sort(folders.begin(), folders.end(), NameLess);
    std::string base = path_;
    if (base.empty() || base.back() != sep)
        base += sep;
    for (const std::string& name : folders) {
        if (!name.empty() && name[0] == '.' && style_ == PathStyle::Posix)
            continue; // hidden, as the system's own browsers keep them
        auto* it = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + QString::fromLocal8Bit(name));
        it->setData(kPathRole, QString::fromLocal8Bit(base + name));
        addItem(it);
    }
}

} // namespace tarnwick
