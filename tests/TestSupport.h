// What the window and process tests share: throwaway folders, scripted seams,
// message pumping and child processes.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "base/Handle.h"
#include "ui/Seams.h"

namespace trelgate::test {

// A fresh folder under %TEMP%, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path); // empty when unreadable
bool Exists(const std::wstring& path);
void MakeFolder(const std::wstring& path);
void Mark(const std::wstring& path, DWORD attributes);

// A moment of the player's clock, as a file's last-write time.
FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second);
// A save file written at the given time.
void WriteDated(const std::wstring& path, const FILETIME& written, const std::string& bytes = "TRELAN-TEST-SAVE\r\n");
// The names in a folder, "." and ".." left out.
std::set<std::wstring> NamesIn(const std::wstring& folder);

// A Unix command, run on the Unix side of Wine and waited for; false where
// there is no Wine to run it (a real Windows) or when it fails.
bool UnixShell(const std::string& command);
// A path in Unix form, quoted for the shell.
std::string UnixQuoted(const std::wstring& path);
// A file whose Unix name holds characters no Windows name can (such as "\\").
bool UnixFile(const std::wstring& folder, const std::string& unixName);

// The folder of the running test executable, where the build puts every program.
std::wstring BinDir();

// A game folder: the demo game as Trelan.exe and an empty users folder.
std::wstring MakeGame(const std::wstring& path);

// A message box as the launcher asked for it.
struct Box {
    std::wstring title, text;
    UINT flags;
    bool operator==(const Box&) const = default;
};
void PrintTo(const Box& box, std::ostream* out);

// Replaces the seams for one test and records what the launcher asked.
class ScriptedSeams {
public:
    ScriptedSeams();
    ~ScriptedSeams();
    ScriptedSeams(const ScriptedSeams&) = delete;
    ScriptedSeams& operator=(const ScriptedSeams&) = delete;

    std::vector<Box> boxes;                          // every message box shown
    std::map<std::wstring, std::deque<int>> answers; // by title, the buttons pressed in turn; IDOK when none is left
    std::function<void(const Box&)> whileShown;      // what runs while a box is up, as its modal loop would
    struct Dialog {
        std::wstring title, filter, defaultExtension, startFolder, file;
    };
    std::vector<Dialog> dialogs;       // every file dialog shown, as set up
    std::function<bool(OPENFILENAMEW&)> chooseFile; // answers the dialog; cancels when empty
    std::vector<std::wstring> links;   // every link handed to the desktop
};

// Processes this thread's messages until done() holds or the time runs out; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// A child process started with CreateProcessW.
struct Process {
    UniqueKernelHandle process, thread;
    DWORD id = 0;
    // Waits for the end; returns the exit code, or STILL_ACTIVE on time-out.
    DWORD Wait(DWORD timeoutMs = 20000) const;
};
Process Start(const std::wstring& exe, const std::wstring& commandLine, const std::wstring& directory);
// Ends the process when it still runs.
void End(Process& p);

// The visible top-level windows of a class (and title, unless null), of one process or of any (0).
std::vector<HWND> TopWindows(const wchar_t* className, const wchar_t* title, DWORD processId = 0);
HWND TopWindow(const wchar_t* className, const wchar_t* title, DWORD processId = 0); // the first, or null
// The first such window of the process once one shows; null when none does in time.
HWND AwaitWindow(const wchar_t* className, const wchar_t* title, DWORD processId, DWORD timeoutMs = 20000);

// Text of a window, also of another process's window.
std::wstring TextOf(HWND hwnd);
// The descendant of parent with the given control id, or null.
HWND FindChild(HWND parent, int id);
template <class Id>
HWND FindChild(HWND parent, Id id) { return FindChild(parent, static_cast<int>(id)); }

} // namespace trelgate::test
