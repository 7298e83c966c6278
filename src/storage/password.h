#pragma once
// The password prompt as the grade book files see it, and the rule a typed password meets.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

// What the password prompt asks for.
enum class PromptMode : int16_t {
  Save = 1,   // a password to save with
  Open = 2,   // the password of a file being opened
  Retry = 3,  // the password again, after a wrong one
  Confirm = 4,  // the password to save with, typed a second time
};

// What a save says when the password typed to confirm differs from the first.
inline constexpr const char* kPasswordsDiffer =
    "The two passwords you typed differ. Please type the password again.";

// Only the first six characters of a password reach the key of a protected file. A password
// to save with has at most that many, so that the key checks every character of it and any
// password the key accepts decodes the file exactly.
inline constexpr size_t kSavePasswordMaxChars = 6;

// Why the prompt cannot take this typed password, as a message for the user; nothing when it
// can. Every password must be written in Windows-1252 characters (the key and the multipliers
// use their codes); one to save with has at most kSavePasswordMaxChars characters. Empty text
// (Cancel) is always taken.
std::optional<std::string> PasswordRefusal(PromptMode mode, std::string_view utf8);

// The password prompt: asked with a mode, it answers the typed text on OK, empty text on
// Cancel, and nothing when it was closed by its frame (the password held so far then stays).
// A prompt refuses what PasswordRefusal refuses, with its message, and asks again itself.
using PasswordPrompt = std::function<std::optional<std::string>(PromptMode mode)>;

}  // namespace mw
