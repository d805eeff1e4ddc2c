#pragma once
// The forms' toolkit on Qt: their windows as modal dialogs over the owner,
// Qt's file dialog, the override cursor, the clipboard and the system
// locale's dates.
#include "forms/Toolkit.h"

#include <QLocale>
#include <QString>

#include <functional>

class QWidget;

namespace tarnwick {

class QtToolkit : public Toolkit {
public:
    explicit QtToolkit(QWidget* owner);
    ~QtToolkit() override;

    void ShowSplash(SplashForm& form) override;
    void ShowAbout(AboutForm& form) override;
    void ShowDetails(DetailsForm& form) override;
    void ShowProgress(ProgressForm& form) override;

    std::string PickFolder(const std::string& title) override;
    std::optional<std::string> PickFile(const OpenFileRequest& request) override;

    void SetWaitPointer(bool wait) override;
    void SetClipboardText(const std::string& text) override;
    // Calls VolumeMenu, which the main window sets to pop its menu up.
    void PopupVolumeMenu(MenuPlace place) override;
    std::function<void(MenuPlace place)> VolumeMenu;

    std::string ShortDate(const std::tm& when) override;
    std::string LongTime(const std::tm& when) override;

    // The locale's long time format minus the time-zone name, which Qt adds
    // and the system's own long time does not show.
    static QString LongTimeFormat(const QLocale& locale);

private:
    QWidget* owner_;
    // Hourglasses this toolkit has put up and not yet taken down.
    int waits_ = 0;
};

} // namespace tarnwick
