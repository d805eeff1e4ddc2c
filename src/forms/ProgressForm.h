#pragma once
// The progress window's form: its job is made when the window loads; when
// its timer fires it reads the main window's choices, runs the job on the
// window's thread and shows what the job reports. The first error is shown
// and unloads the window, which lets go of the job: the job goes on to its
// end unheard, and every name it handled is still counted for the summary.
#include "extraction/ExtractionRequest.h"
#include "forms/ControlLayout.h"
#include "forms/Form.h"
#include "os/PathStyle.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

class Toolkit;
class clsExtract;

class ProgressForm : public Form {
public:
    // `style`: how the job spells the paths it shows and builds.
    ProgressForm(std::function<ExtractionRequest()> request, Toolkit& toolkit,
                 PathStyle style = NativePathStyle());
    ~ProgressForm() override;
    ProgressForm(const ProgressForm&) = delete;
    ProgressForm& operator=(const ProgressForm&) = delete;

    static const WindowLayout& Layout();

    // Texts are UTF-8.
    std::string lab;
    std::string labFile;
    std::string labProgress;
    int pbrProgress = 0; // 0 to 100
    // Fires once, after the window has had the time to show.
    TimerControl timProcess{300, true};

    // The window has loaded: the job is made and the form hears its events.
    void Form_Load();
    void timProcess_Timer();
    void objExtract_E_Percent(int value, const std::string& fileName);
    void objExtract_E_Error(int number, const std::string& message);
    void Unload();
    // Closing the window is refused until the form has unloaded: a running
    // job cannot be cancelled.
    void Form_QueryUnload(bool& Cancel) const;

    // The job, from Form_Load until the form unloads.
    clsExtract* objExtract() const { return objExtract_.get(); }
    // The names the job has dealt with, and the stored names that failed.
    std::size_t NamesHandled() const { return handled_; }
    const std::vector<std::string>& FailedNames() const { return failedNames_; }
    bool Unloaded() const { return unloaded_; }

private:
    void ProcessFiles();

    std::function<ExtractionRequest()> request_;
    Toolkit& toolkit_;
    PathStyle style_;
    // Shared with the run: a job let go of from inside its own event goes
    // on to its end rather than stopping half-way.
    std::shared_ptr<clsExtract> objExtract_;
    std::size_t handled_ = 0;
    std::vector<std::string> failedNames_;
    bool unloaded_ = false;
    bool running_ = false;
};

} // namespace tarnwick
