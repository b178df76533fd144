#include "ui/StandardError.h"

#include <exception>
#include <string>

#include "base/AppError.h"
#include "base/Text.h"
#include "ui/AppTitle.h"
#include "ui/FrameRules.h"
#include "ui/Seams.h"

namespace trelgate {

void ShowStandardError(HWND owner) noexcept
{
    try {
        std::wstring message;
        try {
            throw;
        } catch (const AppError& e) {
            message = e.Message();
        } catch (const std::exception& e) {
            message = WideFromUtf8(e.what());
        } catch (...) {
            message = L"Unknown error";
        }
        CurrentSeams().messageBox(owner, ErrorBoxText(message), std::wstring(kAppTitle), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing is left to tell the player with.
    }
}

} // namespace trelgate
