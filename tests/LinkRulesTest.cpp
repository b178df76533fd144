#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/LinkRules.h"

using namespace trelgate;
using Aspect = HotLinkModel::Aspect;

namespace {

constexpr TColor kFontColor = 0x123456;

// The label's logic with its window replaced by a record of what it was told.
class RecordedLink : public HotLinkModel {
public:
    RecordedLink() : HotLinkModel(kFontColor) {}
    std::vector<Aspect> changes;
    std::vector<std::wstring> opened;
    std::vector<std::wstring> events; // in the order they were raised or done

    void RecordEvents()
    {
        OnMouseEnter = [this] { events.push_back(L"enter"); };
        OnMouseLeave = [this] { events.push_back(L"leave"); };
        OnMouseDown = [this](TMouseButton) { events.push_back(L"down"); };
        OnClick = [this] { events.push_back(L"click"); };
    }

protected:
    void Changed(Aspect aspect) override { changes.push_back(aspect); }
    void OpenLink(const std::wstring& link) override
    {
        opened.push_back(link);
        events.push_back(L"open " + link);
    }
};

std::wstring Composed(TUrlType type, std::wstring_view url, std::wstring_view subject = {},
                      std::wstring_view body = {}, std::wstring_view custom = {})
{
    RecordedLink link;
    link.SetURLType(type);
    link.SetURL(url);
    link.SetMailSubject(subject);
    link.SetMailBody(body);
    link.SetCustomURLType(custom);
    return link.ComposeURL();
}

} // namespace

TEST(ComposeURL, PutsEachSchemesPrefixInFrontOfTheUrl)
{
    const std::pair<TUrlType, const wchar_t*> table[] = {
        {TUrlType::utCustom, L"x.org/a b"},           {TUrlType::utFile, L"file://x.org/a b"},
        {TUrlType::utFtp, L"ftp://x.org/a b"},         {TUrlType::utGopher, L"gopher://x.org/a b"},
        {TUrlType::utHttp, L"http://x.org/a b"},       {TUrlType::utHttps, L"https://x.org/a b"},
        {TUrlType::utMail, L"mailto:x.org/a b"},       {TUrlType::utNews, L"news:x.org/a b"},
        {TUrlType::utTelnet, L"telnet:x.org/a b"},     {TUrlType::utWais, L"wais:x.org/a b"},
    };
    for (const auto& [type, expected] : table)
        EXPECT_EQ(Composed(type, L"x.org/a b"), expected) << "type " << static_cast<int>(type);
    EXPECT_EQ(static_cast<int>(TUrlType::utWais), 9);
    EXPECT_EQ(sizeof(TUrlType), 1u);
}

TEST(ComposeURL, LooksAtNothingItJoins)
{
    EXPECT_EQ(Composed(TUrlType::utHttp, L"https://corvane.example/"), L"http://https://corvane.example/");
    EXPECT_EQ(Composed(TUrlType::utCustom, L"corvane.example", {}, {}, L"irc"), L"irccorvane.example");
    EXPECT_EQ(Composed(TUrlType::utCustom, L"corvane.example", {}, {}, L"irc://"), L"irc://corvane.example");
    EXPECT_EQ(Composed(TUrlType::utFtp, L"  a%20b?&c "), L"ftp://  a%20b?&c ") << "nothing trimmed or escaped";
    EXPECT_EQ(Composed(TUrlType::utHttp, L"x", L"S", L"B"), L"http://x") << "mail parts are for mail only";
}

TEST(ComposeURL, AddsTheMailSubjectAndBodyInThatOrder)
{
    EXPECT_EQ(Composed(TUrlType::utMail, L"me@corvane.example", L"Hi there", L"A & B"),
              L"mailto:me@corvane.example?Subject=Hi there&Body=A & B");
    EXPECT_EQ(Composed(TUrlType::utMail, L"me@corvane.example", {}, L"Text"),
              L"mailto:me@corvane.example?Body=Text");
    EXPECT_EQ(Composed(TUrlType::utMail, L"me@corvane.example", L"Only"), L"mailto:me@corvane.example?Subject=Only");
    EXPECT_EQ(Composed(TUrlType::utMail, L"me@corvane.example"), L"mailto:me@corvane.example");
}

TEST(IsBlankUrl, IgnoresCharactersOfCode32AndBelowAtBothEnds)
{
    EXPECT_TRUE(IsBlankUrl(L""));
    EXPECT_TRUE(IsBlankUrl(L" \t\r\n\x01 "));
    EXPECT_FALSE(IsBlankUrl(L"  x  "));
    EXPECT_FALSE(IsBlankUrl(L"!"));
    EXPECT_FALSE(IsBlankUrl(L" \x00A0 ")) << "a no-break space is above code 32";
}

TEST(HotLinkModel, ANewLabelIsAnUnderlinedLinkToNothing)
{
    RecordedLink link;
    EXPECT_EQ(link.HotLinkColor(), clBlue);
    EXPECT_EQ(link.VisitedColor(), clNavy);
    EXPECT_TRUE(link.Hover());
    EXPECT_TRUE(link.LinkUnderlined());
    EXPECT_EQ(link.URL(), L"");
    EXPECT_EQ(link.URLType(), TUrlType::utCustom);
    EXPECT_FALSE(link.Synchronize());
    EXPECT_EQ(link.MailBody(), L"");
    EXPECT_EQ(link.MailSubject(), L"");
    EXPECT_FALSE(link.ShowUrlHint());
    EXPECT_EQ(link.CustomURLType(), L"");
    EXPECT_TRUE(link.FontUnderline());
    EXPECT_EQ(link.FontColor(), kFontColor);
    EXPECT_FALSE(link.Visited());
    EXPECT_EQ(link.SavedColor(), clBlack);

    link.RecordEvents();
    link.Click();
    EXPECT_TRUE(link.opened.empty());
    EXPECT_EQ(link.events, std::vector<std::wstring>{L"click"});
}

TEST(HotLinkModel, AUrlOfBlanksIsNotOpenedAndAnyOtherIsOpenedUntrimmed)
{
    RecordedLink link;
    link.RecordEvents();
    link.SetURL(L" \t ");
    link.Click();
    link.SetURL(L" corvane.example ");
    link.Click();
    const std::vector<std::wstring> expected{L"click", L"open  corvane.example ", L"click"};
    EXPECT_EQ(link.events, expected);
}

TEST(HotLinkModel, EventsComeBeforeTheLabelsOwnReaction)
{
    RecordedLink link;
    link.SetHotLinkColor(clPurple);
    TColor colorAtEnter = 0, colorAtLeave = 0;
    bool visitedAtDown = true;
    link.OnMouseEnter = [&] { colorAtEnter = link.FontColor(); };
    link.OnMouseLeave = [&] { colorAtLeave = link.FontColor(); };
    link.OnMouseDown = [&](TMouseButton) { visitedAtDown = link.Visited(); };
    link.MouseEnter();
    link.MouseDown(TMouseButton::mbLeft);
    link.MouseLeave();
    EXPECT_EQ(colorAtEnter, kFontColor);
    EXPECT_FALSE(visitedAtDown);
    EXPECT_EQ(colorAtLeave, clPurple);
    EXPECT_EQ(link.FontColor(), clNavy);
}

TEST(HotLinkModel, WithoutHoverAClickDoesNothingButEnteringStillTurnsHot)
{
    RecordedLink link;
    link.RecordEvents();
    link.SetURL(L"https://corvane.example/");
    link.SetHover(false);
    link.SetLinkUnderlined(false);
    EXPECT_FALSE(link.FontUnderline()) << "at once";
    EXPECT_EQ(link.changes, std::vector<Aspect>{Aspect::Font});
    link.MouseEnter();
    EXPECT_EQ(link.FontColor(), clBlue);
    EXPECT_FALSE(link.FontUnderline()) << "neither LinkUnderlined nor Hover";
    link.MouseDown(TMouseButton::mbLeft);
    link.Click();
    link.MouseLeave();
    EXPECT_FALSE(link.FontUnderline());
    EXPECT_TRUE(link.opened.empty());
    const std::vector<std::wstring> expected{L"enter", L"down", L"leave"};
    EXPECT_EQ(link.events, expected) << "no click event";

    link.SetHover(true);
    link.MouseEnter();
    EXPECT_TRUE(link.FontUnderline()) << "Hover alone underlines while over it";
    link.MouseLeave();
    EXPECT_FALSE(link.FontUnderline());
}

TEST(HotLinkModel, SynchronizeTakesEffectWithTheNextChangeOfTheLink)
{
    RecordedLink link;
    link.SetCaption(L"Corvane");
    link.SetURL(L"corvane.example");
    link.SetSynchronize(true);
    EXPECT_EQ(link.Caption(), L"Corvane");
    link.SetURLType(TUrlType::utHttps);
    EXPECT_EQ(link.Caption(), L"https://corvane.example");
    link.SetURLType(TUrlType::utMail);
    link.SetMailSubject(L"Hello");
    link.SetMailBody(L"Text");
    EXPECT_EQ(link.Caption(), L"mailto:corvane.example") << "changing the mail parts leaves the caption alone";
    link.SetURL(L"me@corvane.example");
    EXPECT_EQ(link.Caption(), L"mailto:me@corvane.example?Subject=Hello&Body=Text");

    link.SetURLType(TUrlType::utCustom);
    link.SetCustomURLType(L"irc://");
    EXPECT_EQ(link.Caption(), L"irc://me@corvane.example");
    link.SetSynchronize(false);
    link.SetURL(L"other");
    EXPECT_EQ(link.Caption(), L"irc://me@corvane.example");
}

TEST(HotLinkModel, ShowUrlHintSetsTheHintAndClearsOnlyItsOwn)
{
    RecordedLink link;
    link.SetURLType(TUrlType::utMail);
    link.SetURL(L"me@corvane.example");
    EXPECT_EQ(link.Hint(), L"");
    link.SetShowUrlHint(true);
    EXPECT_EQ(link.Hint(), L"mailto:me@corvane.example");
    link.SetMailSubject(L"Hi");
    EXPECT_EQ(link.Hint(), L"mailto:me@corvane.example?Subject=Hi");
    link.SetShowUrlHint(false);
    EXPECT_EQ(link.Hint(), L"") << "the composed link is cleared";

    link.SetShowUrlHint(true);
    link.SetHint(L"Write to us");
    link.SetShowUrlHint(false);
    EXPECT_EQ(link.Hint(), L"Write to us") << "a hint of its own stays";
    EXPECT_EQ(link.Caption(), L"");

    link.SetSynchronize(true);
    link.SetShowUrlHint(true);
    EXPECT_EQ(link.Caption(), L"mailto:me@corvane.example?Subject=Hi")
        << "switching it gives a synchronised caption the whole link";
}

TEST(HotLinkModel, AValueItAlreadyHasChangesNothing)
{
    RecordedLink link;
    link.SetURL(L"corvane.example");
    link.SetMailSubject(L"Hi");
    link.SetSynchronize(true);
    link.SetShowUrlHint(true);
    link.SetCaption(L"Our caption");
    link.SetHint(L"Our hint");
    link.changes.clear();

    link.SetHotLinkColor(clBlue);
    link.SetVisitedColor(clNavy);
    link.SetHover(true);
    link.SetLinkUnderlined(true);
    link.SetURL(L"corvane.example");
    link.SetURLType(TUrlType::utCustom);
    link.SetSynchronize(true);
    link.SetMailBody(L"");
    link.SetMailSubject(L"Hi");
    link.SetShowUrlHint(true);
    link.SetCustomURLType(L"");
    link.SetFontColor(kFontColor);
    EXPECT_TRUE(link.changes.empty());
    EXPECT_EQ(link.Caption(), L"Our caption");
    EXPECT_EQ(link.Hint(), L"Our hint");

    link.SetURL(L"Corvane.example");
    EXPECT_EQ(link.Caption(), L"Corvane.example") << "texts compare with their letter case";
    EXPECT_EQ(link.Hint(), L"Corvane.example");
}
