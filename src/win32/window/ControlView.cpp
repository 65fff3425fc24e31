// The simple control kinds: button, check box, label, edit box, memo, list box, group box, bevel;
// and the factory that creates a view for any model by its kind.
#include "win32/window/ControlView.h"

#include <commctrl.h>

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/EditBox.h"
#include "controls/ListBox.h"
#include "win32/platform/Text.h"
#include "win32/window/Accessibility.h"
#include "win32/window/ListViewView.h"
#include "win32/window/OwnDrawing.h"
#include "win32/window/Theme.h"

namespace korvane::win32 {

ControlView::ControlView(Control& model, HWND window, ViewHost& host)
    : model_(model), window_(window), host_(host) {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(host.font), FALSE);
    model_.onChanged = [this](Control&) { host_.invalidate(*this); };
}

ControlView::~ControlView() {
    model_.onChanged = nullptr;
    if (!nameForReaders_.empty()) ForgetNameForReaders(window_);
}

void ControlView::RenderNameForReaders() {
    const std::wstring name = Widen(model_.Caption());
    if (name == nameForReaders_) return;
    nameForReaders_ = name;
    NameForReaders(window_, name);
}

void ControlView::Render() {
    SetTextIfChanged(Widen(model_.Caption()));
    bool enabled = model_.Enabled();
    if (!IsWindowEnabled(window_) != !enabled) EnableWindow(window_, enabled);
}

void ControlView::SetTextIfChanged(const std::wstring& text) {
    int length = GetWindowTextLengthW(window_);
    std::wstring current(static_cast<size_t>(length) + 1, L'\0');
    current.resize(static_cast<size_t>(GetWindowTextW(window_, current.data(), length + 1)));
    if (current != text) SetWindowTextW(window_, text.c_str());
}

namespace {

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// Without visual styles a control draws with the colours of WM_CTLCOLOR*, which the page hands out
// from the palette; with them, check boxes and group boxes keep the theme's black text. In dark mode
// they do without.
void ThemeForColors(HWND window, const ColorScheme* colors) {
    const bool dark = colors && colors->Dark();
    SetControlTheme(window, dark ? L"" : nullptr, dark ? L"" : nullptr);
}

// Scroll bars follow the dark mode where Windows has a dark theme for them.
void ScrollBarsForColors(HWND window, const ColorScheme* colors) {
    SetControlTheme(window, colors && colors->Dark() ? L"DarkMode_Explorer" : nullptr, nullptr);
}

// Windows has no dark push button for desktop programs: in dark mode (and high contrast) the button
// is drawn here.
class ButtonView : public ControlView {
public:
    using ControlView::ControlView;
    void OnCommand(WORD code) override {
        if (code == BN_CLICKED) host_.run([this] { static_cast<Button&>(model_).Click(); });
    }
    void OnColorsChanged() override {
        // High contrast too: a button that has not caught up with new system colours (Wine's) would
        // keep a light face.
        const bool dark = host_.colors && host_.colors->Mode() != ColorMode::Light;
        // Only between the two: a plain button may be the default one just now (the dialog manager
        // makes the focused button so), which is left alone.
        const bool ownerDrawn = (GetWindowLongPtrW(window_, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
        if (dark != ownerDrawn)
            SendMessageW(window_, BM_SETSTYLE, static_cast<WPARAM>(dark ? BS_OWNERDRAW : BS_PUSHBUTTON),
                         FALSE);
    }
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override {
        if (!host_.colors) return false;
        DrawPushButton(item, host_.colors->Colors(), host_.scale);
        return true;
    }
};

class CheckBoxView : public ControlView {
public:
    using ControlView::ControlView;
    void Render() override {
        ControlView::Render();
        WPARAM state = static_cast<CheckBox&>(model_).Checked() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(window_, BM_GETCHECK, 0, 0)) != state)
            SendMessageW(window_, BM_SETCHECK, state, 0);
    }
    // The box is not automatic: the model toggles, the next render shows it.
    void OnCommand(WORD code) override {
        if (code == BN_CLICKED) host_.run([this] { static_cast<CheckBox&>(model_).Click(); });
    }
    void OnColorsChanged() override { ThemeForColors(window_, host_.colors); }
};

class EditView : public ControlView {
public:
    using ControlView::ControlView;
    void Render() override {
        rendering_ = true;
        ControlView::Render();
        rendering_ = false;
    }
    // Typing reaches the model; the model's change notification finds the text already equal.
    void OnCommand(WORD code) override {
        if (code != EN_CHANGE || rendering_) return;
        host_.run([this] { static_cast<EditBox&>(model_).UserSetText(Narrow(WindowText(window_))); });
    }

private:
    bool rendering_ = false;
};

class MemoView : public ControlView {
public:
    MemoView(Control& model, HWND window, ViewHost& host) : ControlView(model, window, host) {
        if (static_cast<Memo&>(model).readOnly) SetWindowSubclass(window_, &LetTabThrough, 0, 0);
    }
    ~MemoView() override { RemoveWindowSubclass(window_, &LetTabThrough, 0); }
    void OnColorsChanged() override { ScrollBarsForColors(window_, host_.colors); }
    void Render() override {
        std::wstring text;
        const auto& lines = static_cast<Memo&>(model_).Lines();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) text += L"\r\n";
            text += Widen(lines[i]);
        }
        rendering_ = true;
        SetTextIfChanged(text);
        rendering_ = false;
        if (!IsWindowEnabled(window_) != !model_.Enabled()) EnableWindow(window_, model_.Enabled());
    }
    void OnCommand(WORD code) override {
        if (code != EN_CHANGE || rendering_) return;
        host_.run([this] {
            std::string text = Narrow(WindowText(window_));
            std::vector<std::string> lines;
            size_t start = 0;
            for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
                lines.push_back(text.substr(start, end - start));
            lines.push_back(text.substr(start));
            static_cast<Memo&>(model_).SetLines(std::move(lines));
        });
    }

private:
    // A multi-line edit asks for every key, Tab included, to type it; a read-only one types nothing, and
    // would only keep the keyboard from leaving it.
    static LRESULT CALLBACK LetTabThrough(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR) {
        LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        if (message == WM_GETDLGCODE) result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        return result;
    }

    bool rendering_ = false;
};

// The frame of a page's buttons takes no input, so its caption is shown without an underlined letter,
// which would take the letter of one of those buttons ("&Control Panel" and "&Check All").
// In dark mode and high contrast the frame and caption are drawn here: Wine's classic group box keeps
// a black caption whatever WM_CTLCOLORSTATIC says, and Windows' themed one its theme's.
class GroupBoxView : public ControlView {
public:
    GroupBoxView(Control& model, HWND window, ViewHost& host) : ControlView(model, window, host) {
        SetWindowSubclass(window_, &OwnPaint, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ~GroupBoxView() override { RemoveWindowSubclass(window_, &OwnPaint, 0); }
    void Render() override {
        const std::wstring caption = Widen(model_.Caption());
        std::wstring shown;
        for (size_t i = 0; i < caption.size(); ++i) {
            if (caption[i] == L'&' && i + 1 < caption.size()) {
                if (caption[i + 1] != L'&') continue;  // the mnemonic's mark
                shown += caption[i++];                 // "&&" draws one "&"
            }
            shown += caption[i];
        }
        SetTextIfChanged(shown);
    }
    void OnColorsChanged() override { ThemeForColors(window_, host_.colors); }

private:
    static LRESULT CALLBACK OwnPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self) {
        const ColorScheme* colors = reinterpret_cast<GroupBoxView*>(self)->host_.colors;
        if (message == WM_PAINT && colors && colors->Mode() != ColorMode::Light) {
            PaintScope paint(window);
            PaintGroupBox(window, paint.get(), colors->Colors());
            return 0;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
};

class ListBoxView : public ControlView {
public:
    using ControlView::ControlView;
    void OnColorsChanged() override { ScrollBarsForColors(window_, host_.colors); }
    void Render() override {
        auto& model = static_cast<ListBox&>(model_);
        RenderNameForReaders();
        if (model.Items() != shown_) {
            SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
            SendMessageW(window_, LB_RESETCONTENT, 0, 0);
            for (const auto& item : model.Items())
                SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
            SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(window_, nullptr, TRUE);
            shown_ = model.Items();
        }
        if (SendMessageW(window_, LB_GETCURSEL, 0, 0) != model.ItemIndex())
            SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(model.ItemIndex()), 0);
        if (!IsWindowEnabled(window_) != !model.Enabled()) EnableWindow(window_, model.Enabled());
    }
    void OnCommand(WORD code) override {
        if (code != LBN_SELCHANGE) return;
        host_.run([this] {
            auto& model = static_cast<ListBox&>(model_);
            model.SetItemIndex(static_cast<int>(SendMessageW(window_, LB_GETCURSEL, 0, 0)));
            if (model.onSelect) model.onSelect();
        });
    }

private:
    std::vector<std::string> shown_;
};

struct KindStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

KindStyle StyleOf(Control& model) {
    switch (model.Kind()) {
        case ControlKind::Button:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0};
        case ControlKind::Label:
            return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, 0};
        case ControlKind::EditBox:
            return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Memo:
            return {L"EDIT",
                    static_cast<DWORD>(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP |
                                       (static_cast<Memo&>(model).readOnly ? ES_READONLY : 0)),
                    WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ListView:
            return {WC_LISTVIEWW, 0, 0};  // created by ListViewView
        case ControlKind::GroupBox:
            return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::Bevel:
            return {L"STATIC", static_cast<DWORD>(model.bounds.height <= 4 ? SS_ETCHEDHORZ : SS_ETCHEDFRAME),
                    0};
    }
    return {L"STATIC", 0, 0};
}

}  // namespace

std::unique_ptr<ControlView> CreateControlView(Control& model, HWND parent, int id, ViewHost& host) {
    if (model.Kind() == ControlKind::ListView)
        return std::make_unique<ListViewView>(static_cast<ListView&>(model), parent, id, host);
    KindStyle kind = StyleOf(model);
    HWND window = CreateWindowExW(kind.exStyle, kind.windowClass, L"", WS_CHILD | WS_VISIBLE | kind.style, 0,
                                  0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    std::unique_ptr<ControlView> view;
    switch (model.Kind()) {
        case ControlKind::Button:
            view = std::make_unique<ButtonView>(model, window, host);
            break;
        case ControlKind::CheckBox:
            view = std::make_unique<CheckBoxView>(model, window, host);
            break;
        case ControlKind::EditBox:
            view = std::make_unique<EditView>(model, window, host);
            break;
        case ControlKind::Memo:
            view = std::make_unique<MemoView>(model, window, host);
            break;
        case ControlKind::ListBox:
            view = std::make_unique<ListBoxView>(model, window, host);
            break;
        case ControlKind::GroupBox:
            view = std::make_unique<GroupBoxView>(model, window, host);
            break;
        default:  // labels, group boxes and bevels only show their caption
            view = std::make_unique<ControlView>(model, window, host);
            break;
    }
    view->Render();
    view->OnColorsChanged();
    return view;
}

}  // namespace korvane::win32
