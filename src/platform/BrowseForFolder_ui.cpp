#include "platform/BrowseForFolder_ui.h"
#include "platform/QtText_ui.h"

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
