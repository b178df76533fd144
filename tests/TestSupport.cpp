#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

#include "base/Files.h"
#include "base/Text.h"
#include "base/Window.h"
#include "settings/PathRules.h"

namespace trelgate::test {

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    do
        path_ = std::wstring(temp) + L"trelgate-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
    while (!::CreateDirectoryW(path_.c_str(), nullptr) && ::GetLastError() == ERROR_ALREADY_EXISTS);
}

TempDir::~TempDir()
{
    // The launcher may have made the folder current; Windows keeps such a folder.
    ::SetCurrentDirectoryW(L"C:\\");
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& path)
{
    for (const std::wstring& name : NamesIn(path)) {
        const std::wstring full = path + L"\\" + name;
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(full.c_str()))
            RemoveTree(full);
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(path.c_str());
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    ASSERT_TRUE(file) << "cannot write a test file, error " << ::GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::wstring& path) { return ReadWholeFile(path).value_or(std::string{}); }

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::set<std::wstring> NamesIn(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW entry;
    if (UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &entry)); find)
        do
            names.insert(entry.cFileName);
        while (::FindNextFileW(find.get(), &entry));
    names.erase(L".");
    names.erase(L"..");
    return names;
}

void MakeFolder(const std::wstring& path)
{
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << "cannot make a test folder, error " << ::GetLastError();
}

void Mark(const std::wstring& path, DWORD attributes)
{
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes)) << "error " << ::GetLastError();
}

FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    const SYSTEMTIME local{year, month, 0, day, hour, minute, second, 0};
    FILETIME localFile{}, utc{};
    ::SystemTimeToFileTime(&local, &localFile);
    ::LocalFileTimeToFileTime(&localFile, &utc);
    return utc;
}

void WriteDated(const std::wstring& path, const FILETIME& written, const std::string& bytes)
{
    WriteBytes(path, bytes);
    const UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &written)) << "error " << ::GetLastError();
}

// Wine's own exports: a Unix command run and waited for, and a path's Unix form.
bool UnixShell(const std::string& command)
{
    using Spawn = LONG(WINAPI*)(char* const argv[], int wait);
    static const auto spawn = reinterpret_cast<Spawn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    std::string shell = "/bin/sh", flag = "-c", line = command;
    char* const argv[] = {shell.data(), flag.data(), line.data(), nullptr};
    return spawn && spawn(argv, TRUE) == 0;
}

std::string UnixQuoted(const std::wstring& path)
{
    using Convert = char*(CDECL*)(const wchar_t*);
    static const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = convert ? convert(path.c_str()) : nullptr;
    std::string quoted = "'";
    quoted += unix ? unix : "";
    quoted += "'";
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return quoted;
}

bool UnixFile(const std::wstring& folder, const std::string& unixName)
{
    std::string command = "echo save > " + UnixQuoted(folder);
    command += "/'" + unixName + "'";
    return UnixShell(command);
}

std::wstring BinDir() { return FolderOf(ModuleFileName()); }

std::wstring MakeGame(const std::wstring& path)
{
    ::CreateDirectoryW(path.c_str(), nullptr);
    EXPECT_TRUE(::CopyFileW((BinDir() + L"\\Trelan.exe").c_str(), (path + L"\\Trelan.exe").c_str(), FALSE));
    ::CreateDirectoryW((path + L"\\users").c_str(), nullptr);
    return path;
}

void PrintTo(const Box& box, std::ostream* out)
{
    *out << Utf8FromWide(box.title + L"|" + box.text) << "|0x" << std::hex << box.flags << std::dec;
}

ScriptedSeams::ScriptedSeams()
{
    Seams& seams = CurrentSeams();
    seams.messageBox = [this](HWND, const std::wstring& text, const std::wstring& title, UINT flags) {
        boxes.push_back({title, text, flags});
        if (whileShown)
            whileShown(boxes.back());
        std::deque<int>& queued = answers[title];
        if (queued.empty())
            return IDOK;
        const int answer = queued.front();
        queued.pop_front();
        return answer;
    };
    seams.getOpenFileName = [this](OPENFILENAMEW& dialog) {
        auto text = [](const wchar_t* s) { return std::wstring(s ? s : L""); };
        std::wstring filter;
        for (const wchar_t* p = dialog.lpstrFilter; p && *p; p += wcslen(p) + 1)
            filter += std::wstring(p) + L"|";
        dialogs.push_back({text(dialog.lpstrTitle), filter, text(dialog.lpstrDefExt), text(dialog.lpstrInitialDir),
                           text(dialog.lpstrFile)});
        return chooseFile ? chooseFile(dialog) : false;
    };
    seams.openLink = [this](const std::wstring& link) { links.push_back(link); };
}

ScriptedSeams::~ScriptedSeams() { ResetSeams(); }

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return done();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

DWORD Process::Wait(DWORD timeoutMs) const
{
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

Process Start(const std::wstring& exe, const std::wstring& commandLine, const std::wstring& directory)
{
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + exe + L"\"" + commandLine;
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start a test process, error " << ::GetLastError();
        return {};
    }
    Process p;
    p.process.reset(info.hProcess);
    p.thread.reset(info.hThread);
    p.id = info.dwProcessId;
    return p;
}

void End(Process& p)
{
    if (p.process && p.Wait(0) == STILL_ACTIVE && ::TerminateProcess(p.process.get(), 1))
        p.Wait();
}

std::vector<HWND> TopWindows(const wchar_t* className, const wchar_t* title, DWORD processId)
{
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, className, title));) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (::IsWindowVisible(w) && (!processId || owner == processId))
            found.push_back(w);
    }
    return found;
}

HWND TopWindow(const wchar_t* className, const wchar_t* title, DWORD processId)
{
    const std::vector<HWND> found = TopWindows(className, title, processId);
    return found.empty() ? nullptr : found[0];
}

HWND AwaitWindow(const wchar_t* className, const wchar_t* title, DWORD processId, DWORD timeoutMs)
{
    HWND window = nullptr;
    PumpUntil([&] { return (window = TopWindow(className, title, processId)) != nullptr; }, timeoutMs);
    return window;
}

std::wstring TextOf(HWND hwnd)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &copied);
    text.resize(copied);
    return text;
}

HWND FindChild(HWND parent, int id)
{
    std::pair<int, HWND> search{id, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) {
            auto& [wanted, found] = *reinterpret_cast<std::pair<int, HWND>*>(param);
            found = ::GetDlgCtrlID(child) == wanted ? child : nullptr;
            return static_cast<BOOL>(!found);
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

} // namespace trelgate::test
