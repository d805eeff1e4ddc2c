#include "platform/win32ui/Artwork.h"

namespace tarnwick::win32ui {

namespace {

HWND MakePicture(DWORD style, HWND parent, const RECT& r, int id)
{
    return ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | style | SS_REALSIZECONTROL, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

} // namespace

HWND MakeIconPicture(HWND parent, const RECT& r, int id)
{
    HWND picture = MakePicture(SS_ICON, parent, r, id);
    HANDLE icon = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                               r.right - r.left, r.bottom - r.top, LR_SHARED);
    if (icon)
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    return picture;
}

HWND MakeSplashPicture(HWND parent, const RECT& r, int id)
{
    HWND picture = MakePicture(SS_BITMAP, parent, r, id);
    HANDLE bitmap = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kSplashResource), IMAGE_BITMAP,
                                 r.right - r.left, r.bottom - r.top, LR_SHARED);
    if (bitmap)
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    return picture;
}

} // namespace tarnwick::win32ui
