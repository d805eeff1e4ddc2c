#include "volume/PropertiesCommand_ui.h"

#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "platform/os/Files.h"
#include "volume/clsVOLReader.h"
#include "volume/frmDetails.h"

namespace tarnwick {

void mnuProperties_Click(frmMain& main)
{
    const char sep = Separator(main.Style());
    std::string path = main.DirPath();
    if (path.empty() || path.back() != sep)
        path += sep;
    const std::string name = main.SelectedVolumeName();
    path += name;

    clsVOLReader& reader = main.VOL();
    if (!reader.IsValidVolume(path)) {
        Messages().Beep();
        MsgBox(ShownPath(path, main.Style()) + " is not a valid Starsiege: Tribes 1.X volume file.", MsgButtons::OK,
               MsgIcon::None);
        return;
    }
    // Listing it first sets the reader's values for this volume. A damaged
    // directory sets none: the values would be another volume's.
    main.filVolumes_Click();
    if (!main.CurrentVolumeListed) {
        Messages().Beep();
        MsgBox(ShownPath(path, main.Style()) + " is damaged: its list of files cannot be read.", MsgButtons::OK,
               MsgIcon::None);
        return;
    }

    frmDetails details(&main);
    details.Fill(name, os::FileLength(path), os::FileModified(path), reader.FileCount(), reader.PVOL(),
                 reader.VOLS(), reader.VOLI());
    details.exec();
}

} // namespace tarnwick
