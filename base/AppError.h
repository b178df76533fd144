// An error that ends the running handler and reaches the player in the
// standard error box.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace trelgate {

class AppError : public std::exception {
public:
    explicit AppError(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return "Trelgate error"; }

private:
    std::wstring message_;
};

} // namespace trelgate
