#pragma once
// The progress window: gathers the main window's choices, runs one
// extraction job on the window's thread and shows what the job reports.
#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QTimer;

namespace tarnwick {

class clsExtract;
class frmMain;

class frmProgress : public QDialog {
    Q_OBJECT
public:
    // destination: where the names go instead of the main window's
    // "Extraction Path:" (the folder a drag of names was dropped on).
    explicit frmProgress(frmMain& main, std::optional<std::string> destination = std::nullopt);
    ~frmProgress() override;

    QLabel* lab = nullptr;
    QLabel* labFile = nullptr;
    QProgressBar* pbrProgress = nullptr;
    QLabel* labProgress = nullptr;
    QTimer* timProcess = nullptr;

    // The job, alive from load to unload.
    clsExtract* objExtract() const { return objExtract_.get(); }
    // The names the job has dealt with, and the stored names that failed.
    std::size_t NamesHandled() const { return handled_; }
    const std::vector<std::string>& FailedNames() const { return failedNames_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void timProcess_Timer();
    void ProcessFiles();
    void Unload();
    void objExtract_E_Percent(int value, const std::string& fileName);
    void objExtract_E_Error(int number, const std::string& message);

    frmMain& main_;
    std::optional<std::string> destination_;
    std::unique_ptr<clsExtract> objExtract_;
    std::size_t handled_ = 0;
    std::vector<std::string> failedNames_;
    bool unloaded_ = false;
    bool running_ = false;
};

} // namespace tarnwick
