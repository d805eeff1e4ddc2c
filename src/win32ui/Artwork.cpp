#include "win32ui/Artwork.h"

namespace tarnwick::win32ui {

namespace {

// A picture control showing resource `resource` of kind `type` at its size.
HWND MakePicture(UINT type, int resource, HWND parent, const RECT& r, int id)
{
    const DWORD style = type == IMAGE_ICON ? SS_ICON : SS_BITMAP;
    HWND picture = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | style | SS_REALSIZECONTROL, r.left,
                                     r.top, r.right - r.left, r.bottom - r.top, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                     nullptr);
    HANDLE image = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), type, r.right - r.left,
                                r.bottom - r.top, LR_SHARED);
    if (image)
        ::SendMessageW(picture, STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image));
    return picture;
}

} // namespace

HWND MakeIconPicture(HWND parent, const RECT& r, int id) { return MakePicture(IMAGE_ICON, kIconResource, parent, r, id); }

HWND MakeSplashPicture(HWND parent, const RECT& r, int id)
{
    return MakePicture(IMAGE_BITMAP, kSplashResource, parent, r, id);
}

} // namespace tarnwick::win32ui
