#include "ui/HLLabel.h"

#include <windowsx.h>

#include <iterator>
#include <memory>
#include <string_view>

#include "ui/StandardError.h"
#include "ui/Seams.h"

namespace trelgate {
namespace {

constexpr wchar_t kClassName[] = L"THotLinkLabel";

ATOM RegisterLabelClass(WNDPROC proc)
{
    WNDCLASSEXW label{sizeof label};
    label.lpfnWndProc = proc;
    label.cbWndExtra = sizeof(THotLinkLabel*);
    label.hInstance = ::GetModuleHandleW(nullptr);
    // A link that keeps the arrow: the cursor says nothing about what is under it.
    label.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    label.lpszClassName = kClassName;
    return ::RegisterClassExW(&label);
}

UINT AlignmentOf(LONG_PTR style)
{
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: return DT_CENTER;
    case SS_RIGHT: return DT_RIGHT;
    default: return DT_LEFT;
    }
}

} // namespace

THotLinkLabel::THotLinkLabel(HWND hwnd) : HotLinkModel(::GetSysColor(COLOR_WINDOWTEXT)), hwnd_(hwnd) {}

const wchar_t* THotLinkLabel::ClassName()
{
    static const ATOM atom = RegisterLabelClass(WndProc);
    return atom ? kClassName : nullptr;
}

THotLinkLabel* THotLinkLabel::FromHandle(HWND hwnd)
{
    wchar_t name[std::size(kClassName) + 1] = {};
    if (!hwnd || !::GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) ||
        std::wstring_view(name) != kClassName)
        return nullptr;
    return reinterpret_cast<THotLinkLabel*>(::GetWindowLongPtrW(hwnd, 0));
}

LRESULT CALLBACK THotLinkLabel::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The window owns its label from its first message to its last.
    if (msg == WM_NCCREATE) {
        try {
            std::unique_ptr<THotLinkLabel> label(new THotLinkLabel(hwnd));
            ::SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(label.release()));
        } catch (...) {
            return FALSE;
        }
    }
    auto* self = reinterpret_cast<THotLinkLabel*>(::GetWindowLongPtrW(hwnd, 0));
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, 0, 0);
        const std::unique_ptr<THotLinkLabel> owned(self);
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    // The events run the owner's code; what escapes it ends that handler only.
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        ShowStandardError(::GetAncestor(hwnd, GA_ROOT));
        return 0;
    }
}

LRESULT THotLinkLabel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: return WMCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_SETTEXT: return WMSetText(lParam);
    case WM_SETFONT: WMSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(CurrentFont());
    case WM_MOUSEMOVE: WMMouseMove(lParam); return 0;
    case WM_MOUSELEAVE: WMMouseLeave(); return 0;
    case WM_LBUTTONDOWN: WMButtonDown(TMouseButton::mbLeft); return 0;
    case WM_RBUTTONDOWN: WMButtonDown(TMouseButton::mbRight); return 0;
    case WM_MBUTTONDOWN: WMButtonDown(TMouseButton::mbMiddle); return 0;
    case WM_LBUTTONUP: WMLButtonUp(lParam); return 0;
    case WM_CAPTURECHANGED: WMCaptureChanged(); return 0;
    case WM_ERASEBKGND: return 1; // Paint fills the background itself
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: {
        const PaintDc dc(hwnd_);
        Paint(dc.get());
        return 0;
    }
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void THotLinkLabel::Changed(Aspect aspect)
{
    switch (aspect) {
    case Aspect::Caption:
        // Straight to the default handling: the caption is already ours.
        ::DefWindowProcW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Caption().c_str()));
        break;
    case Aspect::Hint: return; // kept for whoever shows hints; the label shows none itself
    case Aspect::Font:
    case Aspect::Paint: break;
    }
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void THotLinkLabel::OpenLink(const std::wstring& link) { CurrentSeams().openLink(link); }

LRESULT THotLinkLabel::WMCreate(const CREATESTRUCTW& create)
{
    WMSetFont(nullptr, false);
    if (create.lpszName && !IS_INTRESOURCE(create.lpszName))
        SetCaption(create.lpszName);
    return 0;
}

LRESULT THotLinkLabel::WMSetText(LPARAM text)
{
    const LRESULT stored = ::DefWindowProcW(hwnd_, WM_SETTEXT, 0, text);
    SetCaption(text ? reinterpret_cast<const wchar_t*>(text) : L"");
    return stored;
}

// The label takes the typeface; colour and underline stay its own, so that a
// new font at another DPI changes neither.
void THotLinkLabel::WMSetFont(HFONT font, bool redraw)
{
    LOGFONTW face{};
    if (!font || !::GetObjectW(font, sizeof face, &face))
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfUnderline = FALSE;
    plain_.reset(::CreateFontIndirectW(&face));
    face.lfUnderline = TRUE;
    underlined_.reset(::CreateFontIndirectW(&face));
    if (redraw)
        ::InvalidateRect(hwnd_, nullptr, FALSE);
}

// A child window hears of the mouse leaving only when it asks. While the left
// button is captured the position tells instead: capture cancels the request.
void THotLinkLabel::WMMouseMove(LPARAM position)
{
    const bool over = Contains(position);
    if (over == tracking_)
        return;
    tracking_ = over;
    if (over) {
        TrackLeave();
        MouseEnter();
    } else {
        MouseLeave();
    }
}

void THotLinkLabel::WMMouseLeave()
{
    if (pressed_ || !tracking_) // the leave that capturing the mouse brings
        return;
    tracking_ = false;
    MouseLeave();
}

// The left button is captured so that its release counts only over the label.
void THotLinkLabel::WMButtonDown(TMouseButton button)
{
    if (button == TMouseButton::mbLeft) {
        ::SetCapture(hwnd_);
        pressed_ = true;
    }
    MouseDown(button);
}

void THotLinkLabel::WMLButtonUp(LPARAM position)
{
    const bool pressedHere = pressed_;
    if (::GetCapture() == hwnd_)
        ::ReleaseCapture();
    pressed_ = false;
    if (pressedHere && Contains(position))
        Click();
}

// Without the capture the system reports the leave again.
void THotLinkLabel::WMCaptureChanged()
{
    pressed_ = false;
    if (tracking_)
        TrackLeave();
}

void THotLinkLabel::TrackLeave()
{
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
    ::TrackMouseEvent(&track);
}

bool THotLinkLabel::Contains(LPARAM position) const
{
    RECT client;
    ::GetClientRect(hwnd_, &client);
    return ::PtInRect(&client, POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)}) != FALSE;
}

// The caption in the label's own colour on the background its parent gives statics.
void THotLinkLabel::Paint(HDC dc) const
{
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const LRESULT answer = ::SendMessageW(::GetParent(hwnd_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(hwnd_));
    auto* brush = reinterpret_cast<HBRUSH>(answer);
    ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    const SelectedObject font(dc, CurrentFont());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, FontColor());
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    const UINT format = DT_EXPANDTABS | AlignmentOf(style) | (style & SS_NOPREFIX ? DT_NOPREFIX : 0);
    ::DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &client, format);
}

HFONT THotLinkLabel::CurrentFont() const { return FontUnderline() ? underlined_.get() : plain_.get(); }

} // namespace trelgate
