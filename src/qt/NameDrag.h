#pragma once
// Dragging names out of the contents list to a file manager. Whatever the
// file manager, the names are extracted by one job in one progress window,
// with the options of the Extract button; only where they go differs.
//
// Two ways of learning where the drop landed, offered together:
//
// - The direct-save protocol (XdndDirectSave0, X11; Dolphin, Nautilus,
//   Thunar, PCManFM and Caja speak it). The drag offers a file name; the
//   file manager answers with the URI of that name in the folder the drop
//   landed in, and asks us to save. We take the folder, answer "S", and once
//   the answer is on its way the job extracts the selected names into that
//   folder, as if it were the "Extraction Path:" — so the overwrite prompt
//   and the folder re-creation are ours, as for the button. Qt's drag ends
//   at the drop, before the file manager has asked anything: its questions
//   are answered from the main window's event loop afterwards, so the name
//   stays on the drag's window until the file manager has asked.
// - text/uri-list, for every other target (Wayland sessions, file managers
//   without the protocol). A list of files has to name files that exist, and
//   we only know the names are wanted when the target asks for the list; so
//   on that request the job extracts them into a private temporary folder
//   (removed when the main window goes) and the list names what it put
//   there; the file manager copies them and asks its own overwrite questions.
//
// Nothing is extracted when a drag ends nowhere, and never twice: a target
// that speaks the protocol does not ask for the list.
#include <QMimeData>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

class frmMain;

class NameDragData : public QMimeData {
    Q_OBJECT
public:
    static constexpr const char* kDirectSave = "XdndDirectSave0";

    explicit NameDragData(frmMain& main, std::string suggestedName);

    // The file name offered to a direct-save target (UTF-8).
    const std::string& SuggestedName() const { return suggested_; }
    // The folder a direct-save target answered with, once it asked us to save.
    const std::optional<std::string>& DropFolder() const { return dropFolder_; }
    // Where the text/uri-list files were extracted, once a target asked.
    const std::optional<std::string>& StagingFolder() const { return staging_; }

    // The drag's source window, once the name is offered on it (X11).
    void OfferedOn(std::uint32_t window) { offeredOn_ = window; }
    // The direct-save target's answer: the URI it wrote for the offered
    // name. By default read from the drag's source window; tests answer.
    std::function<QByteArray()> ReadDirectSaveAnswer;

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QByteArray AnswerDirectSave() const;
    QByteArray StageAndList() const;

    frmMain& main_;
    std::string suggested_;
    std::uint32_t offeredOn_ = 0;
    mutable std::optional<std::string> dropFolder_;
    mutable std::optional<std::string> staging_;
    mutable QByteArray uriList_;
};

// The drag's data for the names selected in lstData; nullptr when none is.
std::unique_ptr<NameDragData> MakeNameDragData(frmMain& main);
// lstData's drag: makes the data, offers the name, runs the drag.
void lstData_DragOut(frmMain& main);

} // namespace tarnwick
