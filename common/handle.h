// Move-only owners for Win32 handles, libraries, heap blocks, GDI objects, DCs and COM references.
#pragma once
#include "common/win32.h"

#include <utility>

namespace zep {

// One owner per kind of handle: Close frees it, Null() is the "no handle" value.
template <typename T, typename Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    ~Owned() { reset(); }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    Owned(Owned &&other) noexcept : value_(other.release()) {}
    Owned &operator=(Owned &&other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Null(); }
    T release() { return std::exchange(value_, Traits::Null()); }
    void reset(T value = Traits::Null())
    {
        T old = std::exchange(value_, value);
        if (old != Traits::Null()) Traits::Close(old);
    }
    // For out-parameters of the Win32 calls that produce a handle.
    T *put()
    {
        reset();
        return &value_;
    }

private:
    T value_ = Traits::Null();
};

struct FileTraits {
    static HANDLE Null() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelObjectTraits {
    static HANDLE Null() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct LibraryTraits {
    static HMODULE Null() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct PrinterTraits {
    static HANDLE Null() { return nullptr; }
    static void Close(HANDLE h) { ClosePrinter(h); }
};
struct GlobalTraits {
    static HGLOBAL Null() { return nullptr; }
    static void Close(HGLOBAL h) { GlobalFree(h); }
};

struct GdiObjectTraits {
    static HGDIOBJ Null() { return nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct MemoryDcTraits {
    static HDC Null() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};

using File = Owned<HANDLE, FileTraits>;
using KernelObject = Owned<HANDLE, KernelObjectTraits>;
using Library = Owned<HMODULE, LibraryTraits>;
using Printer = Owned<HANDLE, PrinterTraits>;
using GlobalBlock = Owned<HGLOBAL, GlobalTraits>;
// Pens, brushes, fonts, bitmaps, regions and palettes.
using GdiObject = Owned<HGDIOBJ, GdiObjectTraits>;
// A DC from CreateCompatibleDC.
using MemoryDc = Owned<HDC, MemoryDcTraits>;

// A window's DC from GetDC, released to that window.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for the life of the guard, then puts back what it replaced.
class Selected {
public:
    // A null object selects nothing, so a caller with an optional object needs no branch.
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selected()
    {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }
    Selected(const Selected &) = delete;
    Selected &operator=(const Selected &) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A zero-filled block from the process heap, typed for convenience.
template <typename T>
class HeapBlock {
public:
    HeapBlock() = default;
    explicit HeapBlock(SIZE_T bytes)
        : p_(bytes ? static_cast<T *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes)) : nullptr)
    {
    }
    ~HeapBlock()
    {
        if (p_) HeapFree(GetProcessHeap(), 0, p_);
    }
    HeapBlock(const HeapBlock &) = delete;
    HeapBlock &operator=(const HeapBlock &) = delete;
    HeapBlock(HeapBlock &&o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    HeapBlock &operator=(HeapBlock &&o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    T *get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T *p_ = nullptr;
};

// A counted COM reference.
template <typename I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    ComPtr(ComPtr &&o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr &operator=(ComPtr &&o) noexcept
    {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    I *get() const { return p_; }
    I *operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset()
    {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    I *detach() { return std::exchange(p_, nullptr); }
    // Takes over a reference the caller already holds: a new object's first, or one a QueryInterface added.
    void attach(I *p)
    {
        reset();
        p_ = p;
    }
    void **put_void()
    {
        reset();
        return reinterpret_cast<void **>(&p_);
    }

private:
    I *p_ = nullptr;
};

} // namespace zep
