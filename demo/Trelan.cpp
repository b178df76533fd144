// Trelan.exe - a stand-in for the real game, so the launcher can be exercised
// without it. With Trelan.control.txt beside the exe it runs headless and does
// what that file says; otherwise it shows a small window with what it was given.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const noexcept { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
    void operator()(HANDLE h) const noexcept { FindClose(h); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

// Win32 reports failure as INVALID_HANDLE_VALUE; turn that into an empty owner.
template <class Owner>
Owner own(HANDLE h) {
    return Owner(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

std::string toUtf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring fromUtf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// Folder of the executable, with a trailing backslash.
std::wstring exeDir() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) { path.resize(n); break; }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring currentDir() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    dir.resize(GetCurrentDirectoryW(n, dir.data()));
    return dir;
}

std::wstring envProbe() {
    DWORD n = GetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", value.data(), n));
    return value;
}

bool writeWholeFile(const std::wstring& path, const std::string& bytes) {
    auto file = own<UniqueHandle>(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool readWholeFile(const std::wstring& path, std::string& bytes) {
    auto file = own<UniqueHandle>(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    return true;
}

// Writes users\<name>.usr beside the exe; the time stamp makes each save distinguishable.
bool saveUser(const std::wstring& dir, const std::wstring& name) {
    CreateDirectoryW((dir + L"users").c_str(), nullptr);
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond, t.wMilliseconds);
    return writeWholeFile(dir + L"users\\" + name + L".usr",
                          "TRELAN-DEMO-SAVE\r\n" + toUtf8(name) + "\r\n" + toUtf8(stamp) + "\r\n");
}

std::vector<std::wstring> listUsers(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    auto find = own<UniqueFind>(FindFirstFileW((dir + L"users\\*.usr").c_str(), &fd));
    if (!find) return names;
    do {
        std::wstring file = fd.cFileName;
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && file.size() > 4)
            names.push_back(file.substr(0, file.size() - 4));
    } while (FindNextFileW(find.get(), &fd));
    std::sort(names.begin(), names.end());
    return names;
}

// ---- test mode --------------------------------------------------------------

int runControl(const std::wstring& dir) {
    // The record goes in under a temporary name so a watcher never sees it half written.
    std::string record = "cmdline=" + toUtf8(GetCommandLineW()) + "\n" + "cwd=" + toUtf8(currentDir()) + "\n" +
                         "env=" + toUtf8(envProbe()) + "\n";
    if (writeWholeFile(dir + L"Trelan.record.tmp", record))
        MoveFileExW((dir + L"Trelan.record.tmp").c_str(), (dir + L"Trelan.record.txt").c_str(),
                    MOVEFILE_REPLACE_EXISTING);

    std::string bytes;
    readWholeFile(dir + L"Trelan.control.txt", bytes);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    std::wstring text = fromUtf8(bytes);

    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.find_first_not_of(L" \t") == std::wstring::npos) continue;

        size_t space = line.find(L' ');
        std::wstring cmd = line.substr(0, space);
        std::wstring arg = space == std::wstring::npos ? L"" : line.substr(space + 1);
        if (cmd == L"exit") return 0;
        if (cmd == L"exitcode") return static_cast<int>(std::wcstoul(arg.c_str(), nullptr, 10));
        if (cmd == L"stay") Sleep(static_cast<DWORD>(std::wcstoul(arg.c_str(), nullptr, 10)));
        else if (cmd == L"write" && !arg.empty()) saveUser(dir, arg);
        // A player deleting a profile in the game: its file goes, its backups are not the game's.
        else if (cmd == L"remove" && !arg.empty()) DeleteFileW((dir + L"users\\" + arg + L".usr").c_str());
        // Anything else is ignored, so a newer control file still runs here.
    }
    return 0;
}

// ---- player mode ------------------------------------------------------------

enum : int { IdCombo = 100, IdStatus = 101 };  // Save is IDOK and Quit IDCANCEL, so Enter/Esc work

struct Ui {
    std::wstring dir;
    HWND combo = nullptr, status = nullptr, lastFocus = nullptr;
} ui;

void fillCombo(const std::wstring& select) {
    SendMessageW(ui.combo, CB_RESETCONTENT, 0, 0);
    for (const auto& name : listUsers(ui.dir))
        SendMessageW(ui.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    LRESULT index = select.empty() ? 0
                                   : SendMessageW(ui.combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(select.c_str()));
    SendMessageW(ui.combo, CB_SETCURSEL, index == CB_ERR ? 0 : static_cast<WPARAM>(index), 0);
}

void onSave() {
    std::wstring name(static_cast<size_t>(GetWindowTextLengthW(ui.combo)) + 1, L'\0');
    name.resize(static_cast<size_t>(GetWindowTextW(ui.combo, name.data(), static_cast<int>(name.size()))));
    if (name.empty()) return;
    std::wstring file = L"users\\" + name + L".usr";
    if (saveUser(ui.dir, name)) {
        fillCombo(name);
        SetWindowTextW(ui.status, (L"Saved " + file).c_str());
    } else {
        std::wstring error = std::to_wstring(GetLastError());
        SetWindowTextW(ui.status, (L"Could not save " + file + L" (error " + error + L")").c_str());
    }
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) onSave();
        else if (LOWORD(wp) == IDCANCEL) DestroyWindow(hwnd);
        return 0;
    case WM_ACTIVATE:  // keep keyboard focus on the same control across task switches
        if (LOWORD(wp) == WA_INACTIVE) ui.lastFocus = GetFocus();
        else SetFocus(ui.lastFocus ? ui.lastFocus : ui.combo);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

int textWidth(HDC dc, const std::wstring& s) {
    SIZE size{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
}

int runWindow(HINSTANCE inst, int show, const std::wstring& dir) {
    ui.dir = dir;
    const std::wstring cmdline = GetCommandLineW(), cwd = currentDir();

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = inst;
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"TrelanDemoGame";
    RegisterClassExW(&wc);

    // Lay out from the font's metrics so it fits whatever font the system gives us.
    auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int margin = 11, gap = 7, rowH = tm.tmHeight + 10;
    const int editH = tm.tmHeight + 7, editY = (rowH - editH) / 2;
    const int labelW = std::max({textWidth(dc, L"Command line:"), textWidth(dc, L"Current directory:"),
                                 textWidth(dc, L"User:")}) + gap;
    const int fieldW = std::clamp(std::max(textWidth(dc, cmdline), textWidth(dc, cwd)) + 12, 320, 640);
    const int buttonW = std::max(75, textWidth(dc, L"Save") + 24);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT rc{0, 0, 2 * margin + labelW + fieldW, 2 * margin + 4 * rowH + 3 * gap};
    AdjustWindowRectEx(&rc, style, FALSE, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Trelan (demo game)", style,
                                (work.left + work.right - w) / 2, (work.top + work.bottom - h) / 2, w, h,
                                nullptr, nullptr, inst, nullptr);
    if (!hwnd) return 1;

    auto add = [&](const wchar_t* cls, const std::wstring& text, DWORD st, int x, int y, int cx, int cy, int id) {
        HWND c = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | st, x, y, cx, cy, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return c;
    };
    const int fieldX = margin + labelW, rightX = fieldX + fieldW;
    const DWORD label = SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
    const DWORD readOnly = WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL;
    int y = margin;
    add(L"STATIC", L"Command line:", label, margin, y, labelW, rowH, -1);
    add(L"EDIT", cmdline, readOnly, fieldX, y + editY, fieldW, editH, -1);
    y += rowH + gap;
    add(L"STATIC", L"Current directory:", label, margin, y, labelW, rowH, -1);
    add(L"EDIT", cwd, readOnly, fieldX, y + editY, fieldW, editH, -1);
    y += rowH + gap;
    add(L"STATIC", L"&User:", SS_LEFT | SS_CENTERIMAGE, margin, y, labelW, rowH, -1);
    ui.combo = add(L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, fieldX, y + 1,
                   fieldW - buttonW - gap, rowH * 8, IdCombo);
    add(L"BUTTON", L"&Save", BS_DEFPUSHBUTTON | WS_TABSTOP, rightX - buttonW, y, buttonW, rowH, IDOK);
    y += rowH + gap;
    ui.status = add(L"STATIC", L"", label, margin, y, fieldW + labelW - buttonW - gap, rowH, IdStatus);
    add(L"BUTTON", L"&Quit", BS_PUSHBUTTON | WS_TABSTOP, rightX - buttonW, y, buttonW, rowH, IDCANCEL);
    fillCombo(L"");

    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    SetFocus(ui.combo);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, LPWSTR, int show) {
    const std::wstring dir = exeDir();
    DWORD attrs = GetFileAttributesW((dir + L"Trelan.control.txt").c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return runControl(dir);
    return runWindow(inst, show, dir);
}
