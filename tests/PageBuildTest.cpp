// The pages the player does not see at the start are built later, when first shown or once the window is up: each
// is then the page the window would have built at once, and the keys and the settings reach it as before.
#include "WindowFixture.h"

#include "ui/FrameRules.h"

#include <sstream>
#include <tuple>
#include <vector>

using namespace std::literals;
using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

// The page window and every control on it, in the order of the window tree, each as the player and the dialog
// manager meet it: id, class, text, styles, place in the frame's client pixels, check mark and font.
std::vector<std::wstring> ShotOf(HWND frame, HWND page)
{
    std::vector<HWND> windows{page};
    ::EnumChildWindows(
        page,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    std::vector<std::wstring> shots;
    for (HWND w : windows) {
        wchar_t name[64] = {};
        ::GetClassNameW(w, name, 64);
        RECT place;
        ::GetWindowRect(w, &place);
        ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&place), 2);
        LOGFONTW font{};
        if (HFONT f = GetWindowFont(w))
            ::GetObjectW(f, sizeof font, &font);
        std::wostringstream shot;
        shot << ::GetDlgCtrlID(w) << L" " << name << L" \"" << TextOf(w) << L"\" " << std::hex
             << ::GetWindowLongPtrW(w, GWL_STYLE) << L" " << ::GetWindowLongPtrW(w, GWL_EXSTYLE) << std::dec << L" ("
             << place.left << L"," << place.top << L"," << place.right << L"," << place.bottom << L") check "
             << (name == std::wstring_view(WC_BUTTONW) ? Button_GetCheck(w) : 0) << L" " << font.lfFaceName << L" "
             << font.lfHeight << L" " << font.lfWeight << L" " << int{font.lfUnderline};
        shots.push_back(shot.str());
    }
    return shots;
}

// The controls the Tab key visits from Launch, once round, by their ids.
std::vector<int> TabOrder(HWND frame, HWND launch)
{
    std::vector<int> ids;
    HWND at = launch;
    do {
        at = ::GetNextDlgTabItem(frame, at, FALSE);
        ids.push_back(::GetDlgCtrlID(at));
    } while (at && at != launch && ids.size() < 64);
    return ids;
}

class PageBuild : public UserPageTest {
protected:
    // A window whose pages were all built before it was shown, as the launcher once built them.
    std::unique_ptr<TfrmMain> BuiltAtOnce()
    {
        auto window = std::make_unique<TfrmMain>(folder / L"Trelgate.exe");
        window->Create();
        for (const Control& c : kControls)
            window->Item(c.id);
        window->Show();
        return window;
    }
    // Alt and a letter at the focused control.
    void Alt(wchar_t letter) { Press(::GetFocus(), letter, WM_SYSCHAR); }
    // Each page, shown in both windows, the same; at the DPI given to both before any page but the first was shown.
    void ExpectSamePages(TfrmMain& atOnce, UINT dpi)
    {
        if (dpi != USER_DEFAULT_SCREEN_DPI)
            for (HWND w : {atOnce.Handle(), form->Handle()}) {
                const int scale = static_cast<int>(dpi);
                RECT suggested{0, 0, Scale(kClientWidth, scale), Scale(kClientHeight, scale)};
                ::SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            }
        for (int tab : {1, 2, 3, 0}) {
            SCOPED_TRACE(testing::Message() << "page " << tab << " at " << dpi << " DPI");
            for (TfrmMain* w : {&atOnce, form.get()})
                TabCtrl_SetCurFocus(w->Item(Ctl::PageControl), tab); // as a click on its tab
            ASSERT_EQ(form->ActivePage(), PageAt(tab));
            EXPECT_EQ(ShotOf(form->Handle(), form->Item(PageAt(tab))), ShotOf(atOnce.Handle(), atOnce.Item(PageAt(tab))));
            EXPECT_EQ(TabOrder(form->Handle(), form->Item(Ctl::btnLaunch)),
                      TabOrder(atOnce.Handle(), atOnce.Item(Ctl::btnLaunch)));
        }
        EXPECT_EQ(ShotOf(form->Handle(), form->Handle()), ShotOf(atOnce.Handle(), atOnce.Handle())) << "the whole window";
    }
};

} // namespace

// From three settings files: a game with a remembered user, a directory that is no game, none at all. Each page,
// built when first shown, at 96 or at 144 DPI, or once the window is up, holds what the window built at once holds:
// the same controls, ids, texts, places, fonts, check marks from the settings file and tab order.
TEST_F(PageBuild, APageBuiltLaterIsThePageBuiltAtOnce)
{
    Save(L"Ace.usr");
    Save(L"Bob.usr");
    Save(L"Bob\\Start.bak");
    const std::string options = "\r\n[Users]\r\nCurrentUser=Bob\r\n[Options]\r\nFullScreen=0\r\nSafeMode=1\r\nDebugStart=1\r\n";
    for (const std::string& directory : {Utf8FromWide(game), Utf8FromWide(folder / L"nowhere"), ""s}) {
        for (const auto& [fading, dpi] : {std::pair("1", 96u), std::pair("1", 144u), std::pair("0", 96u)}) {
            SCOPED_TRACE(directory + " at " + std::to_string(dpi) + " fading " + fading);
            WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + directory + "\r\nFadeWindow=" + fading + options);
            const auto atOnce = BuiltAtOnce();
            Show();
            EXPECT_TRUE(*fading == '1' || PumpUntil([&] { return FindChild(form->Handle(), Ctl::hllCorvane); }))
                << "without a fade-in, the last page built once the window is up";
            ExpectSamePages(*atOnce, dpi);
            form.reset();
        }
    }
}

// Alt and a letter does what the dialog manager did with every page built: a button's letter clicks it on the page
// shown and on no other, whether or not that other page was ever shown; a label's letter moves nothing in this
// window, which is no dialog.
TEST_F(PageBuild, AltAndALetterReachesTheButtonsOfThePageShownOnly)
{
    Save(L"Bob.usr");
    OpenAt(game, L"Bob");
    ASSERT_EQ(form->ActivePage(), Ctl::tabUsers);
    HWND focus = ::GetFocus();
    Alt(L'b'); // "&Backups:" here, "&Browse" on the settings page
    Alt(L'd'); // "&Delete selected Backups", disabled here; "Trelan game &directory:" on the settings page
    EXPECT_EQ(std::tuple(::GetFocus(), form->ActivePage(), seams.dialogs.size()),
              std::tuple(focus, Ctl::tabUsers, size_t{0}));
    ::SetWindowTextW(Item(Ctl::edtNewBackup), L"Lettered");
    Alt(L'c'); // "&Create Backup"
    EXPECT_EQ(NamesIn(At(L"Bob")), std::set<std::wstring>{L"Lettered.bak"});

    OpenAt(L"", L""); // the settings page first; the user manager page not shown
    ASSERT_EQ(form->ActivePage(), Ctl::tabSettings);
    focus = ::GetFocus();
    for (wchar_t letter : {L'u', L'n', L'c', L'r', L't', L'd'})
        Alt(letter);
    EXPECT_EQ(std::pair(::GetFocus(), form->ActivePage()), std::pair(focus, Ctl::tabSettings));
    Alt(L'b');
    EXPECT_EQ(seams.dialogs.size(), 1u) << "Browse clicked";
    Alt(L'o'); // a page's letter
    ASSERT_EQ(form->ActivePage(), Ctl::tabOptions);
    Alt(L'b');
    EXPECT_EQ(std::pair(seams.dialogs.size(), form->ActivePage()), std::pair(size_t{1}, Ctl::tabOptions))
        << "the settings page's letters stay with it";
    EXPECT_TRUE(seams.boxes.empty());
}
