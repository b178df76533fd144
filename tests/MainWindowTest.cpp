#include "WindowFixture.h"

#include <tuple>

#include "ui/FrameRules.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

class MainWindow : public WindowTest {
protected:
    // A control's rectangle in its parent's client coordinates.
    static RECT PlaceOf(HWND hwnd)
    {
        RECT r;
        ::GetWindowRect(hwnd, &r);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // What the system would answer for a click at a client point of the window.
    LRESULT HitAt(int x, int y) const
    {
        POINT p{x, y};
        ::ClientToScreen(form->Handle(), &p);
        HWND target = ::WindowFromPoint(p);
        return ::SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }

    BYTE LayeredAlpha() const
    {
        BYTE alpha = 0;
        DWORD flags = 0;
        ::GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, &flags);
        return alpha;
    }
    bool Layered() const { return ::GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED; }
};

} // namespace

TEST_F(MainWindow, IsABorderlessFrameOfTheLaidOutSizeCentredOnTheDesktop)
{
    Open();
    HWND hwnd = form->Handle();
    EXPECT_EQ(TextOf(hwnd), L"Trelan Launcher");
    EXPECT_EQ(TextOf(Item(Ctl::lblAboutTitle)), L"Trelan Launcher");
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT client, window, work;
    ::GetClientRect(hwnd, &client);
    ::GetWindowRect(hwnd, &window);
    EXPECT_EQ(client.right, 303);
    EXPECT_EQ(client.bottom, 349);
    EXPECT_EQ(window.right - window.left, 303) << "no border around the client area";
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
    EXPECT_NE(::GetClassLongPtrW(hwnd, GCLP_HICON), 0) << "the window carries the application icon";
    EXPECT_EQ(::GetFocus(), Item(Ctl::btnLaunch));
}

// Written out rather than read from the layout table, so that a slip in the
// table shows too: one control of each way the window places them.
TEST_F(MainWindow, PlacesAndLabelsTheControlsAsLaidOut)
{
    Open();
    const std::tuple<Ctl, int, int, int, int, std::wstring> rows[] = {
        {Ctl::tabSettings, 4, 24, 291, 214, L""}, // a page fills the tab control's display area
        {Ctl::lblTrelanPath, 6, 6, 279, 13, L"Trelan game &directory:"}, // sized to its text: to the page's edge
        {Ctl::btnDeleteBackups, 72, 182, 137, 25, L"&Delete selected Backups"},
        {Ctl::hllCorvane, 90, 182, 111, 13, L"corvane.example"},
        {Ctl::chkFadeWindow, 6, 91, 277, 17, L"Enable fade-in/out of launcher window"},
        {Ctl::btnLaunch, 2, 322, 89, 25, L"&Launch Trelan"},
        {Ctl::btnExit, 212, 322, 89, 25, L"E&xit"},
    };
    for (const auto& [id, left, top, width, height, text] : rows) {
        const RECT r = PlaceOf(Item(id));
        EXPECT_EQ(std::tuple(r.left, r.top, r.right - r.left, r.bottom - r.top, TextOf(Item(id))),
                  std::tuple(left, top, width, height, text));
    }
    EXPECT_EQ(TextOf(Item(Ctl::lblOptionHelp)), L"");
}

TEST_F(MainWindow, TabOrderFollowsTheLayoutOnEachPage)
{
    Open();
    for (const Control& c : kControls) // the order, not the enabled states, is under test
        ::EnableWindow(Item(c.id), TRUE);
    const auto order = [&](wchar_t page, const std::vector<Ctl>& ids) {
        MSG alt{form->Handle(), WM_SYSCHAR, page, 0};
        ASSERT_TRUE(form->PreTranslateMessage(alt));
        std::vector<Ctl> seen{ids[0]};
        while (seen.size() < ids.size())
            seen.push_back(Ctl(::GetDlgCtrlID(::GetNextDlgTabItem(form->Handle(), Item(seen.back()), FALSE))));
        EXPECT_EQ(seen, ids);
    };
    order(L'm', {Ctl::cboUser, Ctl::lstBackups, Ctl::edtNewBackup, Ctl::btnNewBackup, Ctl::btnRestore,
                 Ctl::btnDeleteBackups, Ctl::btnDeleteUser, Ctl::btnLaunch, Ctl::btnExit});
    order(L's', {Ctl::edtTrelanPath, Ctl::btnTrelanPathBrowse, Ctl::chkFadeWindow, Ctl::btnLaunch});
}

TEST_F(MainWindow, TheTabKeyStopsOnTheTabStripBetweenExitAndThePage)
{
    Open();
    auto press = [&](bool shift) {
        Press(::GetFocus(), VK_TAB, shift ? VK_SHIFT : 0);
        return ::GetFocus();
    };
    ::SetFocus(Item(Ctl::btnExit));
    EXPECT_EQ(press(false), Item(Ctl::PageControl));
    EXPECT_EQ(press(false), Item(Ctl::edtTrelanPath));
    EXPECT_EQ(press(true), Item(Ctl::PageControl));
    EXPECT_EQ(press(true), Item(Ctl::btnExit));
    EXPECT_EQ(press(true), Item(Ctl::btnLaunch));
    EXPECT_EQ(press(true), Item(Ctl::chkFadeWindow));
}

TEST_F(MainWindow, CtrlTabTurnsThePagesAndWrapsFromTheLastToTheFirst)
{
    Open(); // no game yet: the settings page
    Press(Item(Ctl::btnLaunch), VK_TAB, VK_CONTROL);
    EXPECT_EQ(form->ActivePage(), Ctl::tabAbout);
    Press(Item(Ctl::btnLaunch), VK_TAB, VK_CONTROL);
    EXPECT_EQ(form->ActivePage(), Ctl::tabUsers);
}

TEST_F(MainWindow, DragsByItsBodyButNotByPagesOrButtons)
{
    Open();
    EXPECT_EQ(HitAt(150, 40), HTCAPTION) << "logo";
    EXPECT_EQ(HitAt(0, 200), HTCAPTION) << "border bevel";
    EXPECT_EQ(HitAt(150, 335), HTCAPTION) << "strip between the buttons";
    EXPECT_EQ(HitAt(40, 335), HTCLIENT) << "launch button";
    EXPECT_EQ(HitAt(150, 200), HTCLIENT) << "page";
    EXPECT_EQ(HitAt(30, 90), HTCLIENT) << "tab strip";
}

TEST_F(MainWindow, FadesInFromTransparentInStepsOfFiveAndStopsOnThe52ndTick)
{
    Open(true); // layered, at 0, with its timer: TheFadeCheckBoxAtExit...
    EXPECT_TRUE(form->AlphaBlend());
    EXPECT_EQ(LayeredAlpha(), 0);
    Tick(TfrmMain::tmrFadeIn);
    EXPECT_EQ(LayeredAlpha(), 5);
    Tick(TfrmMain::tmrFadeIn, 50);
    EXPECT_EQ(form->AlphaBlendValue(), 255);
    EXPECT_EQ(LayeredAlpha(), 255);
    EXPECT_TRUE(form->TimerEnabled(TfrmMain::tmrFadeIn)) << "the 51st tick reaches 255, the 52nd stops";
    Tick(TfrmMain::tmrFadeIn);
    EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrFadeIn));
}

TEST_F(MainWindow, ExitDuringTheFadeInFadesOutFromTheLevelReached)
{
    Open(true);
    Tick(TfrmMain::tmrFadeIn, 10);
    ASSERT_EQ(form->AlphaBlendValue(), 50);
    Click(Ctl::btnExit);
    EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrFadeIn));
    EXPECT_TRUE(form->TimerEnabled(TfrmMain::tmrFadeOut));
    Click(Ctl::btnExit);
    EXPECT_TRUE(form->TimerEnabled(TfrmMain::tmrFadeOut)) << "a second click changes nothing";
    EXPECT_EQ(form->AlphaBlendValue(), 50);
    Tick(TfrmMain::tmrFadeOut, 3);
    EXPECT_EQ(form->AlphaBlendValue(), 0) << "50, 30, 10, 0";
    EXPECT_FALSE(closed) << "the window closes on the tick after it reached 0";
    Tick(TfrmMain::tmrFadeOut);
    EXPECT_TRUE(closed);
}

// The settings file decides the fade-in; the box as it stands decides at Exit.
// Any other close request closes at once, fading or not.
TEST_F(MainWindow, TheFadeCheckBoxAtExitDecidesBetweenFadingOutAndClosingAtOnce)
{
    for (const auto& [fromFile, atExit, byExit] : {std::tuple(false, false, true), std::tuple(false, true, true),
                                                   std::tuple(true, false, true), std::tuple(true, true, false)}) {
        SCOPED_TRACE(testing::Message() << fromFile << atExit << byExit);
        form.reset();
        closed = false;
        Open(fromFile);
        EXPECT_EQ(std::tuple(Layered(), form->AlphaBlendValue(), form->TimerEnabled(TfrmMain::tmrFadeIn)),
                  std::tuple(fromFile, fromFile ? 0 : 255, fromFile));
        Button_SetCheck(Item(Ctl::chkFadeWindow), atExit ? BST_CHECKED : BST_UNCHECKED);
        byExit ? Click(Ctl::btnExit) : (void)::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(closed, !(atExit && byExit));
        if (!closed) {
            EXPECT_TRUE(Layered());
            Tick(TfrmMain::tmrFadeOut);
            EXPECT_EQ(LayeredAlpha(), 235) << "fades out from opaque";
        }
    }
}

TEST_F(MainWindow, ScalesLayoutAndFontsWithTheWindowsDpi)
{
    Open(false);
    RECT window;
    ::GetWindowRect(form->Handle(), &window);
    RECT suggested{window.left, window.top, window.left + 455, window.top + 524};
    ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 455);
    EXPECT_EQ(client.bottom, 524);
    const RECT exit = PlaceOf(Item(Ctl::btnExit));
    EXPECT_EQ(exit.left, 318);
    EXPECT_EQ(exit.right - exit.left, 134);
    LOGFONTW font{};
    ::GetObjectW(GetWindowFont(Item(Ctl::lblAboutTitle)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -29);
    ::GetObjectW(GetWindowFont(Item(Ctl::hllCorvane)), sizeof font, &font);
    EXPECT_EQ(std::pair(font.lfHeight, font.lfUnderline), std::pair(LONG(-17), BYTE(TRUE))) << "the link's own font";
    EXPECT_EQ(ListView_GetColumnWidth(Item(Ctl::lstBackups), 0), 182);
}
