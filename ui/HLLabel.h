// A text label that is a link: it turns hot under the mouse, remembers being
// pressed and hands its link to the desktop on a click. The window owns the
// object: create a window of ClassName() and reach the label by FromHandle.
#pragma once

#include <windows.h>

#include "base/Handle.h"
#include "ui/LinkRules.h"

namespace trelgate {

class THotLinkLabel final : public HotLinkModel {
public:
    // The window class, registered on first use. The text is the caption;
    // SS_CENTER or SS_RIGHT align it, SS_NOPREFIX shows "&" as it is.
    static const wchar_t* ClassName();
    // The label of a window of that class, or null.
    static THotLinkLabel* FromHandle(HWND hwnd);

    HWND Handle() const { return hwnd_; }

private:
    explicit THotLinkLabel(HWND hwnd);
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void Changed(Aspect aspect) override;
    void OpenLink(const std::wstring& link) override;

    LRESULT WMCreate(const CREATESTRUCTW& create);
    LRESULT WMSetText(LPARAM text);
    void WMSetFont(HFONT font, bool redraw);
    void WMMouseMove(LPARAM position);
    void WMMouseLeave();
    void WMButtonDown(TMouseButton button);
    void WMLButtonUp(LPARAM position);
    void WMCaptureChanged();
    void TrackLeave();
    bool Contains(LPARAM position) const;
    void Paint(HDC dc) const;
    HFONT CurrentFont() const;

    HWND hwnd_;
    // The font in both styles, from the typeface the label was given.
    UniqueFont plain_, underlined_;
    bool tracking_ = false; // the mouse is over the label: entered, not yet left
    bool pressed_ = false;  // the left button went down here and is still down
};

} // namespace trelgate
