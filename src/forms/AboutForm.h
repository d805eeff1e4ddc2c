#pragma once
// The About window's form: the program's name, version, suite and a short
// description, and the button that closes it. Texts are UTF-8.
#include "forms/ControlLayout.h"
#include "forms/Form.h"

#include <string>

namespace tarnwick {

class AboutForm : public Form {
public:
    AboutForm();

    static const WindowLayout& Layout();
    static const char* const kDescription;

    std::string labName;
    std::string labVersion;
    std::string labCompany;
    std::string labDesc;

    // The version is put in when the window opens.
    void Form_Load();
    void cmdOK_Click();
};

} // namespace tarnwick
