#include "storage/book_files.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "storage/file_io.h"
#include "storage/gradebook_file.h"

namespace mw {

namespace {

LoadStatus Load(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt,
                const ReadingChooser& choose, std::string* why, FileAccess access) {
  MappedFile mapped;
  std::string copy;
  std::string_view bytes;
  // A file that cannot be mapped (or says it is empty, as some system files do) is read.
  if (access == FileAccess::Map && mapped.Open(path, kMaxGradeBookBytes)) {
    bytes = mapped.Bytes();
  } else {
    if (!ReadFileBytes(path, copy, kMaxGradeBookBytes)) return LoadStatus::Unreadable;
    bytes = copy;
  }
  if (bytes.empty()) return LoadStatus::Unreadable;
  DecodeResult result = DecodeGradeBook(bytes, gb.Password, prompt, choose);
  switch (result.status) {
    case DecodeStatus::Cancelled:
      gb.Password.clear();
      return LoadStatus::Cancelled;
    case DecodeStatus::Error:
      if (why) *why = std::move(result.error);
      return LoadStatus::Unreadable;
    case DecodeStatus::Ok:
      break;
  }
  std::string name = std::move(gb.FileName), fullName = std::move(gb.FullFileName);
  gb = std::move(result.book);
  gb.FileName = std::move(name);
  gb.FullFileName = std::move(fullName);
  gb.SelectAllSemesters();
  gb.IsPassProtected = result.isProtected;
  gb.Password = result.isProtected ? std::move(result.password) : std::string();
  return LoadStatus::Loaded;
}

SaveStatus Save(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt,
                const std::function<void(const std::string&)>& tell) {
  EncodeResult encoded;
  if (gb.IsPassProtected) {
    // A password held from a file saved elsewhere with more than six characters cannot key a
    // save (a near miss would pass the key and read wrong values): ask for a new one.
    if (PasswordRefusal(PromptMode::Save, gb.Password)) gb.Password.clear();
    while (gb.Password.empty() && prompt) {
      std::optional<std::string> answer = prompt(PromptMode::Save);
      if (!answer) break;  // closed by its frame: unchanged
      if (const auto why = PasswordRefusal(PromptMode::Save, *answer)) {
        if (tell) tell(*why);
        continue;
      }
      if (!answer->empty()) {
        // A typo in a new password would lock the file: it is typed twice.
        const std::optional<std::string> again = prompt(PromptMode::Confirm);
        if (!again || again->empty()) break;  // closed or cancelled: no password
        if (*again != *answer) {
          if (tell) tell(kPasswordsDiffer);
          continue;
        }
      }
      gb.Password = std::move(*answer);
      break;
    }
    if (gb.Password.empty()) return SaveStatus::NoPassword;
    encoded = EncodeProtected(gb, gb.Password);
  } else {
    encoded = EncodePlain(gb);
  }
  if (!encoded.ok || !WriteFileAtomically(path, encoded.bytes)) return SaveStatus::Unwritable;
  return SaveStatus::Saved;
}

}  // namespace

std::string RecoveryCopyText(const std::string& copyPath) {
  return "A save that did not finish kept a copy of the file's previous content in \"" +
         copyPath + "\".";
}

LoadStatus LoadBookFile(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt,
                        const ReadingChooser& choose, std::string* why, FileAccess access) {
  try {
    return Load(gb, path, prompt, choose, why, access);
  } catch (const std::bad_alloc&) {
    return LoadStatus::Unreadable;
  } catch (const std::length_error&) {  // a size no allocation can give
    return LoadStatus::Unreadable;
  }
}

SaveStatus SaveBookFile(GradeBook& gb, const std::string& path, const PasswordPrompt& prompt,
                        const std::function<void(const std::string&)>& tell) {
  try {
    return Save(gb, path, prompt, tell);
  } catch (const std::bad_alloc&) {
    return SaveStatus::Unwritable;
  } catch (const std::length_error&) {
    return SaveStatus::Unwritable;
  }
}

}  // namespace mw
