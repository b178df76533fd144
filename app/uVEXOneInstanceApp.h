// Keeps one launcher per desktop: a later start raises the running one's
// window and ends with exit code 2.
#pragma once

#include <windows.h>

#include <string_view>

namespace trelgate {

inline constexpr UINT kGaveWayExitCode = 2;

class TvexOneInstanceApp {
public:
    // Returns only in the first instance, which then owns the lock.
    TvexOneInstanceApp(std::wstring_view title, std::wstring_view mainWindowClass);

private:
    void CheckInstance();

    // Never released or closed: the system does both when the process ends,
    // so the lock marks this launcher for its whole life.
    HANDLE FMutex = nullptr;
    wchar_t FName[MAX_PATH] = {};
    wchar_t FClass[MAX_PATH] = {};
};

} // namespace trelgate
