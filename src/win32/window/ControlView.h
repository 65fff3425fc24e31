// The Win32 face of one control model: a child window created by kind, kept in step with the model
// (captions, enabled state, check marks, rows, text) and turning the user's input into model changes
// and handler calls. Views never own logic; every handler runs through the host's error box.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "controls/Control.h"

namespace korvane::win32 {

class ColorScheme;

// What a view needs from the window that hosts it.
struct ViewHost {
    // Runs a handler; an error it raises is shown in the error box and the program goes on.
    std::function<void(const std::function<void()>&)> run;
    // Asks for the view to be rendered again at the host's next turn (changes are coalesced).
    std::function<void(class ControlView&)> invalidate;
    HFONT font = nullptr;
    UINT dpi = 96;       // of the window the views are shown in
    double scale = 1.0;  // pixels per layout unit (dpi / 96)
    // The window's colours; they change when Windows switches between light, dark and high contrast.
    const ColorScheme* colors = nullptr;
};

class ControlView {
public:
    // Subscribes to the model's changes; the destructor unsubscribes.
    ControlView(Control& model, HWND window, ViewHost& host);
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& Model() const { return model_; }
    HWND Handle() const { return window_; }

    // Brings the window in line with the model.
    virtual void Render();
    // WM_COMMAND notifications and WM_NOTIFY messages sent by this control to its parent.
    virtual void OnCommand(WORD code) {}
    virtual LRESULT OnNotify(NMHDR* header) { return 0; }
    // After the control was moved or resized.
    virtual void OnResized() {}
    // After the window moved to a monitor of another DPI; the host has the new DPI and font, which the
    // control already uses. Pictures drawn for the old DPI are made again here.
    virtual void OnDpiChanged() {}
    // After the host's colours changed (and once after creation): what the control draws with or how
    // Windows themes it follows them. The host repaints afterwards.
    virtual void OnColorsChanged() {}
    // WM_DRAWITEM for a control this view draws itself; false when it does not.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& item) { return false; }

protected:
    void SetTextIfChanged(const std::wstring& text);
    // For a control whose window text is not its caption (a list): the caption names it for readers.
    void RenderNameForReaders();

    Control& model_;
    HWND window_;
    ViewHost& host_;

private:
    std::wstring nameForReaders_;
};

// Creates the child window for `model` (by its kind) under `parent` with control id `id`.
std::unique_ptr<ControlView> CreateControlView(Control& model, HWND parent, int id, ViewHost& host);

}  // namespace korvane::win32
