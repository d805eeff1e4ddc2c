#include "win32ui/WinText.h"

namespace tarnwick::win32ui {

std::wstring Wide(const std::string& text, UINT codePage)
{
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return {};
    const int n =
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void SetText(HWND window, const std::string& text, UINT codePage)
{
    ::SetWindowTextW(window, Wide(text, codePage).c_str());
}

std::string GetText(HWND window, UINT codePage)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text, codePage);
}

} // namespace tarnwick::win32ui
