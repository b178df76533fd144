#include "ui/LinkRules.h"

#include <algorithm>

namespace trelgate {
namespace {

std::wstring_view PrefixOf(TUrlType type)
{
    switch (type) {
    case TUrlType::utCustom: break;
    case TUrlType::utFile: return L"file://";
    case TUrlType::utFtp: return L"ftp://";
    case TUrlType::utGopher: return L"gopher://";
    case TUrlType::utHttp: return L"http://";
    case TUrlType::utHttps: return L"https://";
    case TUrlType::utMail: return L"mailto:";
    case TUrlType::utNews: return L"news:";
    case TUrlType::utTelnet: return L"telnet:";
    case TUrlType::utWais: return L"wais:";
    }
    return {};
}

// Stores value unless it is already there; true when it was stored.
template <class T, class V>
bool Store(T& field, const V& value)
{
    if (field == value)
        return false;
    field = T(value);
    return true;
}

} // namespace

bool IsBlankUrl(std::wstring_view url)
{
    return std::all_of(url.begin(), url.end(), [](wchar_t c) { return c <= L' '; });
}

// A new label is a link at once: the setters underline its font.
HotLinkModel::HotLinkModel(TColor fontColor) : fontColor_(fontColor)
{
    SetHotLinkColor(clBlue);
    SetVisitedColor(clNavy);
    SetHover(true);
    SetLinkUnderlined(true);
}

void HotLinkModel::SetHotLinkColor(TColor value) { Store(hotLinkColor_, value); }

void HotLinkModel::SetVisitedColor(TColor value) { Store(visitedColor_, value); }

void HotLinkModel::SetHover(bool value) { Store(hover_, value); }

void HotLinkModel::SetLinkUnderlined(bool value)
{
    if (Store(linkUnderlined_, value))
        SetFontUnderline(value);
}

void HotLinkModel::SetURL(std::wstring_view value)
{
    if (!Store(url_, value))
        return;
    UpdateHint();
    UpdateCaption();
}

void HotLinkModel::SetURLType(TUrlType value)
{
    if (!Store(urlType_, value))
        return;
    UpdateHint();
    UpdateCaption();
}

// Takes effect with the next change of the link, not now.
void HotLinkModel::SetSynchronize(bool value) { Store(synchronize_, value); }

// The mail parts are not shown in the caption, only in the hint.
void HotLinkModel::SetMailBody(std::wstring_view value)
{
    if (Store(mailBody_, value))
        UpdateHint();
}

void HotLinkModel::SetMailSubject(std::wstring_view value)
{
    if (Store(mailSubject_, value))
        UpdateHint();
}

void HotLinkModel::SetShowUrlHint(bool value)
{
    if (!Store(showUrlHint_, value))
        return;
    const std::wstring link = ComposeURL();
    if (value)
        SetHint(link);
    else if (hint_ == link) // a hint of the caller's own stays
        SetHint(L"");
    UpdateCaption();
}

void HotLinkModel::SetCustomURLType(std::wstring_view value)
{
    if (!Store(customURLType_, value))
        return;
    UpdateHint();
    UpdateCaption();
}

void HotLinkModel::SetCaption(std::wstring_view value)
{
    if (Store(caption_, value))
        Changed(Aspect::Caption);
}

void HotLinkModel::SetHint(std::wstring_view value)
{
    if (Store(hint_, value))
        Changed(Aspect::Hint);
}

void HotLinkModel::SetFontColor(TColor value)
{
    if (Store(fontColor_, value))
        Changed(Aspect::Font);
}

void HotLinkModel::SetFontUnderline(bool value)
{
    if (Store(fontUnderline_, value))
        Changed(Aspect::Font);
}

std::wstring HotLinkModel::ComposeURL() const
{
    std::wstring link(urlType_ == TUrlType::utCustom ? std::wstring_view(customURLType_) : PrefixOf(urlType_));
    link += url_;
    if (urlType_ != TUrlType::utMail)
        return link;
    if (!mailSubject_.empty())
        link += L"?Subject=" + mailSubject_;
    if (!mailBody_.empty())
        link += (mailSubject_.empty() ? L"?Body=" : L"&Body=") + mailBody_;
    return link;
}

void HotLinkModel::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter();
    if (!visited_) {
        savedColor_ = fontColor_;
        SetFontColor(hotLinkColor_);
    }
    if (linkUnderlined_ || hover_)
        SetFontUnderline(true);
}

void HotLinkModel::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave();
    SetFontColor(visited_ ? visitedColor_ : savedColor_);
    SetFontUnderline(linkUnderlined_);
    Changed(Aspect::Paint);
}

// The visited colour waits for the mouse to leave.
void HotLinkModel::MouseDown(TMouseButton button)
{
    if (OnMouseDown)
        OnMouseDown(button);
    visited_ = true;
    Changed(Aspect::Paint);
}

void HotLinkModel::Click()
{
    if (!hover_)
        return;
    if (!IsBlankUrl(url_))
        OpenLink(ComposeURL()); // untrimmed: the blanks only decide whether to open
    if (OnClick)
        OnClick();
}

void HotLinkModel::UpdateHint()
{
    if (showUrlHint_)
        SetHint(ComposeURL());
}

void HotLinkModel::UpdateCaption()
{
    if (synchronize_)
        SetCaption(ComposeURL());
}

} // namespace trelgate
