#pragma once
// Loading and saving the open grade book: the steps the window's file commands and
// markwell-cli share, from the file on disk to the book in memory and back.
#include <functional>
#include <string>

#include "model/gradebook.h"
#include "storage/gradebook_file.h"
#include "storage/password.h"

namespace mw {

enum class LoadStatus {
  Loaded,
  Unreadable,  // the file could not be read, or is no grade book
  Cancelled,   // the password prompt was cancelled
};

// How a file's bytes are read: copied into memory (the window, which lives on while other
// programs may change the file), or mapped (markwell-cli, see MappedFile).
enum class FileAccess { Copy, Map };

// Reads the grade book file at path, asking prompt for its password when it is protected (the
// book's Password is offered first) and choose between two readings of a longer password (see
// DecodeGradeBook). When it loads, the file's document replaces the book's whole, every
// semester marked; the book keeps its file names and takes the file's protection and accepted
// password. Otherwise the book stays as it was, but for a cancelled prompt, which forgets the
// password held; why then tells, when known, what in the file cannot be read. A file larger
// than kMaxGradeBookBytes is unreadable before anything is read, and running out of memory
// while reading is the reading error too.
LoadStatus LoadBookFile(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt,
                        const ReadingChooser& choose = {}, std::string* why = nullptr,
                        FileAccess access = FileAccess::Copy);

// What the user is told of the copy a save in place kept (RecoveryCopyOf) when the file itself
// does not read.
std::string RecoveryCopyText(const std::string& copyPath);

enum class SaveStatus {
  Saved,
  NoPassword,  // protected, and no password was given
  Unwritable,  // the book cannot be encoded, or the file not written
};

// Writes the book to path, plain or protected as IsPassProtected says. A protected save uses
// the book's Password when a save may be keyed with it, else asks prompt (mode Save, then mode
// Confirm for the same password again) and keeps the answer in Password; should the prompt
// give a password no file can be keyed with, or a confirmation that differs, tell says why
// and it is asked again. The previous file is replaced only by a whole new one. Running out of
// memory is the saving error.
SaveStatus SaveBookFile(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt,
                        const std::function<void(const std::string&)>& tell = {});

}  // namespace mw
