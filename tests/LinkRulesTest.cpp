#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "ui/LinkRules.h"

using namespace trelgate;

namespace {

// The label's logic with its window replaced by a record of what it did.
class RecordedLink : public HotLinkModel {
public:
    RecordedLink() : HotLinkModel(clBlack) { OnClick = [this] { events.push_back(L"click"); }; }
    std::vector<std::wstring> events; // the links opened and the click events, in order

protected:
    void OpenLink(const std::wstring& link) override { events.push_back(L"open " + link); }
};

} // namespace

TEST(HotLinkModel, ComposesEachSchemesPrefixTheUrlAndForMailOnlyTheSubjectAndBody)
{
    using enum TUrlType;
    const std::tuple<TUrlType, const wchar_t*, const wchar_t*, const wchar_t*> table[] = {
        {utCustom, L"S", L"B", L"irc://x.org/a b"}, {utFile, L"S", L"B", L"file://x.org/a b"},
        {utFtp, L"S", L"B", L"ftp://x.org/a b"},    {utGopher, L"S", L"B", L"gopher://x.org/a b"},
        {utHttp, L"S", L"B", L"http://x.org/a b"},  {utHttps, L"S", L"B", L"https://x.org/a b"},
        {utNews, L"S", L"B", L"news:x.org/a b"},    {utTelnet, L"S", L"B", L"telnet:x.org/a b"},
        {utWais, L"S", L"B", L"wais:x.org/a b"},    {utMail, L"", L"", L"mailto:x.org/a b"},
        {utMail, L"Hi", L"A & B", L"mailto:x.org/a b?Subject=Hi&Body=A & B"},
        {utMail, L"", L"Text", L"mailto:x.org/a b?Body=Text"},
        {utMail, L"Only", L"", L"mailto:x.org/a b?Subject=Only"},
    };
    for (const auto& [type, subject, body, expected] : table) {
        RecordedLink link;
        link.SetCustomURLType(L"irc://"); // the prefix of utCustom only
        link.SetURLType(type);
        link.SetURL(L"x.org/a b");
        link.SetMailSubject(subject);
        link.SetMailBody(body);
        EXPECT_EQ(link.ComposeURL(), expected);
    }
}

// A new label is a link at once, of no prefix and no URL. With Hover off a
// click raises nothing, and pointing still turns it hot; with LinkUnderlined
// off too nothing underlines it.
TEST(HotLinkModel, AClickOpensTheLinkUntrimmedUnlessItIsBlank)
{
    RecordedLink link;
    EXPECT_TRUE(link.FontUnderline());
    for (const wchar_t* url : {L"", L" \t\r\n\x01 ", L" corvane.example "}) {
        link.SetURL(url);
        link.Click();
    }
    EXPECT_FALSE(IsBlankUrl(L" \x00A0 ")) << "a no-break space is above code 32";
    link.SetHover(false);
    link.Click();
    EXPECT_EQ(link.events, (std::vector<std::wstring>{L"click", L"click", L"open  corvane.example ", L"click"}));
    link.SetLinkUnderlined(false);
    link.SetHotLinkColor(clPurple);
    link.MouseEnter();
    EXPECT_EQ(std::pair(link.FontColor(), link.FontUnderline()), std::pair(clPurple, false));
    link.MouseLeave();
    EXPECT_EQ(std::pair(link.FontColor(), link.FontUnderline()), std::pair(clBlack, false));
}

// Switching Synchronize or changing the mail parts leaves the caption; the
// next change of the link, or of ShowUrlHint, brings it. A setter given the
// value the property has changes nothing; texts compare with their case.
TEST(HotLinkModel, CaptionAndHintFollowTheLinkFromItsNextChange)
{
    RecordedLink link;
    link.SetCaption(L"Corvane");
    link.SetURLType(TUrlType::utMail);
    link.SetURL(L"me@corvane.example");
    link.SetSynchronize(true);
    link.SetMailSubject(L"Hi");
    EXPECT_EQ(link.Caption(), L"Corvane");
    link.SetShowUrlHint(true);
    EXPECT_EQ(link.Caption(), L"mailto:me@corvane.example?Subject=Hi");
    link.SetMailBody(L"B");
    EXPECT_EQ(link.Hint(), L"mailto:me@corvane.example?Subject=Hi&Body=B");
    link.SetShowUrlHint(false);
    EXPECT_EQ(link.Hint(), L"") << "a hint equal to the link is cleared";

    link.SetShowUrlHint(true);
    link.SetCaption(L"Ours");
    link.SetHint(L"Write to us");
    link.SetURL(L"me@corvane.example");
    link.SetURLType(TUrlType::utMail);
    link.SetCustomURLType(L"");
    link.SetMailSubject(L"Hi");
    link.SetMailBody(L"B");
    link.SetShowUrlHint(true);
    EXPECT_EQ(std::pair(link.Caption(), link.Hint()), std::pair(std::wstring(L"Ours"), std::wstring(L"Write to us")));
    link.SetShowUrlHint(false);
    EXPECT_EQ(link.Hint(), L"Write to us") << "a different hint stays";
    link.SetURL(L"Me@corvane.example");
    EXPECT_EQ(link.Caption(), L"mailto:Me@corvane.example?Subject=Hi&Body=B");
}
