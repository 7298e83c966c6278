#pragma once
// Loading and saving the open grade book: the steps the window's file commands and
// markwell-cli share, from the file on disk to the book in memory and back.
#include <functional>
#include <string>

#include "model/gradebook.h"
#include "storage/password.h"

namespace mw {

enum class LoadStatus {
  Loaded,
  Unreadable,  // the file could not be read, or is no grade book
  Cancelled,   // the password prompt was cancelled
};

// Reads the grade book file at path, asking prompt for its password when it is protected (the
// book's Password is offered first). When it loads, the file's document replaces the book's
// whole, every semester marked; the book keeps its file names and takes the file's protection
// and accepted password. Otherwise the book stays as it was, but for a cancelled prompt, which
// forgets the password held.
LoadStatus LoadBookFile(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt);

enum class SaveStatus {
  Saved,
  NoPassword,  // protected, and no password was given
  Unwritable,  // the book cannot be encoded, or the file not written
};

// Writes the book to path, plain or protected as IsPassProtected says. A protected save uses
// the book's Password when a save may be keyed with it, else asks prompt (mode Save) and keeps
// the answer in Password; should the prompt give a password no file can be keyed with, tell
// says why and it is asked again. The previous file is replaced only by a whole new one.
SaveStatus SaveBookFile(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt,
                        const std::function<void(const std::string&)>& tell = {});

}  // namespace mw
