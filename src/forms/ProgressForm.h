#pragma once
// The progress window's form: when its timer fires it reads the main
// window's choices, runs one extraction job on the window's thread and shows
// what the job reports. The first error is shown and unloads the window; the
// job goes on to its end unheard, and every name it handled is counted.
#include "extraction/ExtractionRequest.h"
#include "forms/ControlLayout.h"
#include "forms/Form.h"

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
    ProgressForm(std::function<ExtractionRequest()> request, Toolkit& toolkit);
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

    void timProcess_Timer();
    void objExtract_E_Percent(int value, const std::string& fileName);
    void objExtract_E_Error(int number, const std::string& message);
    void Unload();
    // Closing the window is refused until the form has unloaded: a running
    // job cannot be cancelled.
    void Form_QueryUnload(bool& Cancel) const;

    // The job, from when the timer fired until the form goes.
    clsExtract* objExtract() const { return objExtract_.get(); }
    // The names the job has dealt with, and the stored names that failed.
    std::size_t NamesHandled() const { return handled_; }
    const std::vector<std::string>& FailedNames() const { return failedNames_; }
    bool Unloaded() const { return unloaded_; }

private:
    void ProcessFiles();

    std::function<ExtractionRequest()> request_;
    Toolkit& toolkit_;
    std::unique_ptr<clsExtract> objExtract_;
    std::size_t handled_ = 0;
    std::vector<std::string> failedNames_;
    bool unloaded_ = false;
    bool running_ = false;
};

} // namespace tarnwick
