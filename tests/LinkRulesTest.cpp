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
    const std::tuple<TUrlType, const wchar_t*, const wchar_t*, const wchar_t*> table[] = {
        {TUrlType::utCustom, L"S", L"B", L"irc://x.org/a b"}, {TUrlType::utFile, L"S", L"B", L"file://x.org/a b"},
        {TUrlType::utFtp, L"S", L"B", L"ftp://x.org/a b"},    {TUrlType::utGopher, L"S", L"B", L"gopher://x.org/a b"},
        {TUrlType::utHttp, L"S", L"B", L"http://x.org/a b"},  {TUrlType::utHttps, L"S", L"B", L"https://x.org/a b"},
        {TUrlType::utNews, L"S", L"B", L"news:x.org/a b"},    {TUrlType::utTelnet, L"S", L"B", L"telnet:x.org/a b"},
        {TUrlType::utWais, L"S", L"B", L"wais:x.org/a b"},    {TUrlType::utMail, L"", L"", L"mailto:x.org/a b"},
        {TUrlType::utMail, L"Hi", L"A & B", L"mailto:x.org/a b?Subject=Hi&Body=A & B"},
        {TUrlType::utMail, L"", L"Text", L"mailto:x.org/a b?Body=Text"},
        {TUrlType::utMail, L"Only", L"", L"mailto:x.org/a b?Subject=Only"},
    };
    for (const auto& [type, subject, body, expected] : table) {
        RecordedLink link;
        link.SetCustomURLType(L"irc://"); // the prefix of utCustom only
        link.SetURLType(type);
        link.SetURL(L"x.org/a b");
        link.SetMailSubject(subject);
        link.SetMailBody(body);
        EXPECT_EQ(link.ComposeURL(), expected) << "type " << static_cast<int>(type);
    }
}

TEST(HotLinkModel, AClickOpensTheLinkUntrimmedUnlessItIsBlankOrHoverIsOff)
{
    RecordedLink link;
    EXPECT_TRUE(link.FontUnderline()) << "a new label is a link at once";
    EXPECT_EQ(link.URLType(), TUrlType::utCustom);
    link.Click();
    link.SetURL(L" \t\r\n\x01 ");
    link.Click();
    EXPECT_FALSE(IsBlankUrl(L" \x00A0 ")) << "a no-break space is above code 32";
    link.SetURL(L" corvane.example ");
    link.Click();
    link.SetHover(false);
    link.Click();
    const std::vector<std::wstring> expected{L"click", L"click", L"open  corvane.example ", L"click"};
    EXPECT_EQ(link.events, expected) << "with Hover off a click raises nothing either";

    // Pointing still shows the hot colour; without LinkUnderlined nothing underlines it.
    link.SetLinkUnderlined(false);
    link.SetHotLinkColor(clPurple);
    link.MouseEnter();
    EXPECT_EQ(link.FontColor(), clPurple);
    EXPECT_FALSE(link.FontUnderline());
    link.MouseLeave();
    EXPECT_EQ(link.FontColor(), clBlack);
    EXPECT_FALSE(link.FontUnderline());
}

TEST(HotLinkModel, SynchronizeAndShowUrlHintFollowTheLinkFromItsNextChange)
{
    RecordedLink link;
    link.SetCaption(L"Corvane");
    link.SetURLType(TUrlType::utMail);
    link.SetURL(L"me@corvane.example");
    link.SetSynchronize(true);
    link.SetMailSubject(L"Hi");
    EXPECT_EQ(link.Caption(), L"Corvane") << "neither switching it nor the mail parts change the caption";
    link.SetShowUrlHint(true);
    EXPECT_EQ(link.Caption(), L"mailto:me@corvane.example?Subject=Hi") << "switching the hint updates the caption";
    link.SetMailBody(L"B");
    EXPECT_EQ(link.Hint(), L"mailto:me@corvane.example?Subject=Hi&Body=B");
    link.SetShowUrlHint(false);
    EXPECT_EQ(link.Hint(), L"") << "a hint equal to the link is cleared";

    link.SetShowUrlHint(true);
    link.SetHint(L"Write to us");
    link.SetShowUrlHint(false);
    link.SetSynchronize(false);
    link.SetURL(L"other");
    EXPECT_EQ(link.Hint(), L"Write to us") << "a different hint stays";
    EXPECT_EQ(link.Caption(), L"mailto:me@corvane.example?Subject=Hi&Body=B");
}

TEST(HotLinkModel, SettingAValueItAlreadyHasChangesNeitherHintNorCaption)
{
    RecordedLink link;
    link.SetURL(L"corvane.example");
    link.SetSynchronize(true);
    link.SetShowUrlHint(true);
    link.SetCaption(L"Our caption");
    link.SetHint(L"Our hint");
    link.SetURL(L"corvane.example");
    link.SetURLType(TUrlType::utCustom);
    link.SetCustomURLType(L"");
    link.SetMailSubject(L"");
    link.SetMailBody(L"");
    link.SetShowUrlHint(true);
    EXPECT_EQ(link.Caption(), L"Our caption");
    EXPECT_EQ(link.Hint(), L"Our hint");
    link.SetURL(L"Corvane.example");
    EXPECT_EQ(link.Caption(), L"Corvane.example") << "texts compare with their letter case";
    EXPECT_EQ(link.Hint(), L"Corvane.example");
}
