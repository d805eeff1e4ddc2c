#include "qt/BrowseForFolder.h"
#include "qt/QtText.h"

#include <QDir>
#include <QFileDialog>

namespace tarnwick {

std::string BrowseForFolder(QWidget* owner, const std::string& title, int, int)
{
    const QString chosen = QFileDialog::getExistingDirectory(owner, ToQt(title), QDir::rootPath(),
                                                             QFileDialog::ShowDirsOnly);
    return FromQt(QDir::toNativeSeparators(chosen));
}

} // namespace tarnwick
