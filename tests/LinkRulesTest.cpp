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
        {utCustom, L"S", L"B", L"irc://x.org"},   {utFile, L"S", L"B", L"file://x.org"},
        {utFtp, L"S", L"B", L"ftp://x.org"},      {utGopher, L"S", L"B", L"gopher://x.org"},
        {utHttp, L"S", L"B", L"http://x.org"},    {utHttps, L"S", L"B", L"https://x.org"},
        {utNews, L"S", L"B", L"news:x.org"},      {utTelnet, L"S", L"B", L"telnet:x.org"},
        {utWais, L"S", L"B", L"wais:x.org"},      {utMail, L"", L"", L"mailto:x.org"},
        {utMail, L"", L"Text", L"mailto:x.org?Body=Text"},
        {utMail, L"Hi", L"A & B", L"mailto:x.org?Subject=Hi&Body=A & B"},
    };
    for (const auto& [type, subject, body, expected] : table) {
        RecordedLink link;
        link.SetCustomURLType(L"irc://"); // the prefix of utCustom only
        link.SetURLType(type);
        link.SetURL(L"x.org");
        link.SetMailSubject(subject);
        link.SetMailBody(body);
        EXPECT_EQ(link.ComposeURL(), expected);
    }
}

// A new label is a link at once, of no prefix and no URL; with Hover off a click raises nothing.
TEST(HotLinkModel, AClickOpensTheLinkUntrimmedUnlessItIsBlank)
{
    RecordedLink link;
    EXPECT_TRUE(link.FontUnderline());
    for (const wchar_t* url : {L"", L" \t\r\n\x01 ", L" corvane.example "}) {
        link.SetURL(url);
        link.Click();
    }
    link.SetHover(false);
    link.Click();
    EXPECT_EQ(link.events, (std::vector<std::wstring>{L"click", L"click", L"open  corvane.example ", L"click"}));
}
