// Scope owners of GDI objects for the library's Windows-only files: every
// DC, bitmap, brush, font and selection is given back on every way out.
#pragma once

#include "platform.h"

#ifdef _WIN32

class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC()
    {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC &) = delete;
    ScreenDC &operator=(const ScreenDC &) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

class MemoryDC {
public:
    explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC &) = delete;
    MemoryDC &operator=(const MemoryDC &) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// A DC the caller gave, the screen DC, or a memory DC made for the call.
class BorrowedDC {
public:
    BorrowedDC(HDC given, bool memory)
    {
        if (given)
            dc_ = given;
        else if (memory)
            dc_ = made_ = CreateCompatibleDC(nullptr);
        else
            dc_ = screen_ = GetDC(nullptr);
    }
    ~BorrowedDC()
    {
        if (made_)
            DeleteDC(made_);
        if (screen_)
            ReleaseDC(nullptr, screen_);
    }
    BorrowedDC(const BorrowedDC &) = delete;
    BorrowedDC &operator=(const BorrowedDC &) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HDC made_ = nullptr;
    HDC screen_ = nullptr;
};

template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~GdiObject()
    {
        if (handle_)
            DeleteObject(handle_);
    }
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;
    Handle Get() const { return handle_; }
    void Reset(Handle handle)
    {
        if (handle_)
            DeleteObject(handle_);
        handle_ = handle;
    }
    Handle Release()
    {
        Handle h = handle_;
        handle_ = nullptr;
        return h;
    }

private:
    Handle handle_;
};

class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (old_)
            SelectObject(dc_, old_);
    }
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;
    bool Ok() const { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Selects and realises a palette, and puts the old one back.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE palette) : dc_(dc), old_(nullptr)
    {
        if (dc && palette) {
            old_ = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
    }
    ~PaletteSelection()
    {
        if (old_)
            SelectPalette(dc_, old_, FALSE);
    }
    PaletteSelection(const PaletteSelection &) = delete;
    PaletteSelection &operator=(const PaletteSelection &) = delete;

private:
    HDC dc_;
    HPALETTE old_;
};

#endif
