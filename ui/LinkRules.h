// The hyperlink label without its window: the link it composes, its
// properties and how its look follows the mouse. THotLinkLabel (HLLabel.h)
// gives it a window; everything here builds and runs on any host.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trelgate {

enum class TUrlType : unsigned char {
    utCustom, utFile, utFtp, utGopher, utHttp, utHttps, utMail, utNews, utTelnet, utWais
};

// A colour as 0x00BBGGRR, the layout of the platform's COLORREF.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// True when nothing but characters of code 32 and below is left of url.
bool IsBlankUrl(std::wstring_view url);

class HotLinkModel {
public:
    // What changed, so that the window can follow.
    enum class Aspect { Caption, Hint, Font, Paint };

    // fontColor is the colour of the label's font before it becomes a link.
    explicit HotLinkModel(TColor fontColor);
    virtual ~HotLinkModel() = default;
    HotLinkModel(const HotLinkModel&) = delete;
    HotLinkModel& operator=(const HotLinkModel&) = delete;

    // The link's properties; a setter given the current value does nothing.
    TColor HotLinkColor() const { return hotLinkColor_; }
    void SetHotLinkColor(TColor value);
    TColor VisitedColor() const { return visitedColor_; }
    void SetVisitedColor(TColor value);
    bool Hover() const { return hover_; }
    void SetHover(bool value);
    bool LinkUnderlined() const { return linkUnderlined_; }
    void SetLinkUnderlined(bool value);
    const std::wstring& URL() const { return url_; }
    void SetURL(std::wstring_view value);
    TUrlType URLType() const { return urlType_; }
    void SetURLType(TUrlType value);
    bool Synchronize() const { return synchronize_; }
    void SetSynchronize(bool value);
    const std::wstring& MailBody() const { return mailBody_; }
    void SetMailBody(std::wstring_view value);
    const std::wstring& MailSubject() const { return mailSubject_; }
    void SetMailSubject(std::wstring_view value);
    bool ShowUrlHint() const { return showUrlHint_; }
    void SetShowUrlHint(bool value);
    const std::wstring& CustomURLType() const { return customURLType_; }
    void SetCustomURLType(std::wstring_view value);

    // What any label has: its text, its hint and its font's colour and underline.
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring_view value);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(std::wstring_view value);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);
    bool FontUnderline() const { return fontUnderline_; }
    void SetFontUnderline(bool value);

    bool Visited() const { return visited_; }
    TColor SavedColor() const { return savedColor_; }

    // The link a click hands over: the scheme's prefix, URL and the mail parts.
    std::wstring ComposeURL() const;

    // The mouse, as the window reports it.
    void MouseEnter();
    void MouseLeave();
    void MouseDown(TMouseButton button);
    void Click();

    // Raised before the label's own reaction, except OnClick, which follows
    // the handing over of the link.
    std::function<void()> OnMouseEnter, OnMouseLeave, OnClick;
    std::function<void(TMouseButton)> OnMouseDown;

protected:
    virtual void Changed(Aspect) {}
    // Gives the composed link to the desktop's default handler.
    virtual void OpenLink(const std::wstring& link) = 0;

private:
    void UpdateHint();
    void UpdateCaption();

    TColor hotLinkColor_ = clBlack;
    TColor visitedColor_ = clBlack;
    bool hover_ = false;
    bool linkUnderlined_ = false;
    std::wstring url_;
    TUrlType urlType_ = TUrlType::utCustom;
    bool synchronize_ = false;
    std::wstring mailBody_;
    std::wstring mailSubject_;
    bool showUrlHint_ = false;
    std::wstring customURLType_;

    std::wstring caption_, hint_;
    TColor fontColor_;
    bool fontUnderline_ = false;
    bool visited_ = false;
    TColor savedColor_ = clBlack;
};

} // namespace trelgate
