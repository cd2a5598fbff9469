// Move-only owners for every kind of handle the program holds. Ownership is taken on the line that
// acquires the handle; nothing is released by hand on a happy path only.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <objbase.h>
#include <ole2.h>
#include <wininet.h>
#include <utility>

template <typename T, typename Close, T Invalid = T()>
class unique_any
{
public:
    unique_any() = default;
    explicit unique_any(T value) : m_value(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : m_value(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    T get() const { return m_value; }
    explicit operator bool() const { return m_value != Invalid; }
    T release()
    {
        T v = m_value;
        m_value = Invalid;
        return v;
    }
    void reset(T value = Invalid)
    {
        if (m_value != Invalid)
            Close()(m_value);
        m_value = value;
    }
    // For functions that return the handle through an out-parameter.
    T* put()
    {
        reset();
        return &m_value;
    }

private:
    T m_value = Invalid;
};

namespace handle_close {
struct Handle { void operator()(HANDLE h) const { CloseHandle(h); } };
struct RegKey { void operator()(HKEY h) const { RegCloseKey(h); } };
struct Internet { void operator()(HINTERNET h) const { InternetCloseHandle(h); } };
struct GdiObj { void operator()(HGDIOBJ h) const { DeleteObject(h); } };
struct MemDC { void operator()(HDC h) const { DeleteDC(h); } };
struct HGlobal { void operator()(HGLOBAL h) const { GlobalFree(h); } };
struct Icon { void operator()(HICON h) const { DestroyIcon(h); } };
struct Menu { void operator()(HMENU h) const { DestroyMenu(h); } };
struct Module { void operator()(HMODULE h) const { FreeLibrary(h); } };
struct CoTaskMem { void operator()(void* p) const { CoTaskMemFree(p); } };
struct Bstr { void operator()(BSTR b) const { SysFreeString(b); } };
struct Accel { void operator()(HACCEL h) const { DestroyAcceleratorTable(h); } };
struct Window { void operator()(HWND h) const { DestroyWindow(h); } };
}  // namespace handle_close

using UniqueHandle = unique_any<HANDLE, handle_close::Handle, nullptr>;
using UniqueRegKey = unique_any<HKEY, handle_close::RegKey, nullptr>;
using UniqueInternet = unique_any<HINTERNET, handle_close::Internet, nullptr>;
using UniqueMemDC = unique_any<HDC, handle_close::MemDC, nullptr>;
using UniqueHGlobal = unique_any<HGLOBAL, handle_close::HGlobal, nullptr>;
using UniqueIcon = unique_any<HICON, handle_close::Icon, nullptr>;
using UniqueMenu = unique_any<HMENU, handle_close::Menu, nullptr>;
using UniqueModule = unique_any<HMODULE, handle_close::Module, nullptr>;
using UniqueCoTaskMem = unique_any<void*, handle_close::CoTaskMem, nullptr>;
using UniqueBstr = unique_any<BSTR, handle_close::Bstr, nullptr>;
using UniqueAccel = unique_any<HACCEL, handle_close::Accel, nullptr>;
using UniqueWindow = unique_any<HWND, handle_close::Window, nullptr>;
template <typename T>
using UniqueGdiObj = unique_any<T, handle_close::GdiObj, nullptr>;

// INVALID_HANDLE_VALUE is not a constant expression, so these two test for it by hand.
class UniqueFile
{
public:
    UniqueFile() = default;
    explicit UniqueFile(HANDLE h) : m_h(h) {}
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    UniqueFile(UniqueFile&& o) noexcept : m_h(o.release()) {}
    UniqueFile& operator=(UniqueFile&& o) noexcept { if (this != &o) reset(o.release()); return *this; }
    ~UniqueFile() { reset(); }
    HANDLE get() const { return m_h; }
    explicit operator bool() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE release() { HANDLE h = m_h; m_h = INVALID_HANDLE_VALUE; return h; }
    void reset(HANDLE h = INVALID_HANDLE_VALUE)
    {
        if (m_h != INVALID_HANDLE_VALUE && m_h != nullptr)
            CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
};

class UniqueFindFile
{
public:
    UniqueFindFile() = default;
    explicit UniqueFindFile(HANDLE h) : m_h(h) {}
    UniqueFindFile(const UniqueFindFile&) = delete;
    UniqueFindFile& operator=(const UniqueFindFile&) = delete;
    UniqueFindFile(UniqueFindFile&& o) noexcept : m_h(o.m_h) { o.m_h = INVALID_HANDLE_VALUE; }
    ~UniqueFindFile() { if (*this) FindClose(m_h); }
    HANDLE get() const { return m_h; }
    explicit operator bool() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }

private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
};

// GetDC/ReleaseDC: the release needs the window the context came from.
class WindowDC
{
public:
    explicit WindowDC(HWND hwnd, bool bWholeWindow = false)
        : m_hwnd(hwnd), m_hdc(bWholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (m_hdc) ReleaseDC(m_hwnd, m_hdc); }
    HDC get() const { return m_hdc; }
    explicit operator bool() const { return m_hdc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};
using ClientDC = WindowDC;

class PaintScope
{
public:
    explicit PaintScope(HWND hwnd) : m_hwnd(hwnd) { m_hdc = BeginPaint(hwnd, &m_ps); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(m_hwnd, &m_ps); }
    HDC get() const { return m_hdc; }
    const PAINTSTRUCT& ps() const { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_hdc = nullptr;
};

// Selects an object and puts the previous one back; declare it after the object it selects, so the
// object is deselected before it is deleted.
class SelectScope
{
public:
    SelectScope(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_prev(hdc && obj ? SelectObject(hdc, obj) : nullptr) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() { if (m_prev) SelectObject(m_hdc, m_prev); }

private:
    HDC m_hdc;
    HGDIOBJ m_prev;
};

class UniqueVariant
{
public:
    UniqueVariant() { VariantInit(&m_v); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&m_v); }
    VARIANT* get() { return &m_v; }
    const VARIANT* get() const { return &m_v; }
    VARIANT* operator->() { return &m_v; }

private:
    VARIANT m_v;
};

// COM and OLE initialisation, undone only when it succeeded.
class CoInitScope
{
public:
    explicit CoInitScope(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(CoInitializeEx(nullptr, model)) {}
    CoInitScope(const CoInitScope&) = delete;
    CoInitScope& operator=(const CoInitScope&) = delete;
    ~CoInitScope() { if (SUCCEEDED(m_hr)) CoUninitialize(); }
    HRESULT result() const { return m_hr; }

private:
    HRESULT m_hr;
};

class OleInitScope
{
public:
    OleInitScope() : m_hr(OleInitialize(nullptr)) {}
    OleInitScope(const OleInitScope&) = delete;
    OleInitScope& operator=(const OleInitScope&) = delete;
    ~OleInitScope() { if (SUCCEEDED(m_hr)) OleUninitialize(); }
    HRESULT result() const { return m_hr; }

private:
    HRESULT m_hr;
};
