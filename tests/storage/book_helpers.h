#pragma once
// Small grade books for the file tests, byte access, and a content comparison.
#include <gtest/gtest.h>

#include <cstring>

#include "model/gradebook.h"
#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

namespace mw::test {

// A class of gb (its group names take gb's ids).
inline Class MakeClass(GradeBook& gb, std::string name, int grade, double credits,
                       const std::vector<std::string>& groups) {
  Class c{std::move(name), static_cast<int16_t>(grade), credits, {}};
  gb.SetGroups(c, groups);
  return c;
}

inline Semester& AddSemester(GradeBook& gb, std::string name) {
  gb.SemesterOrder.push_back({name, true});
  return gb.Semesters.emplace_back(Semester{{}, std::move(name)});
}

inline GradeBook FreshBook() { GradeBook gb; ResetToFresh(gb); return gb; }

// A fresh grade book with one semester "Fall" holding "Math" (B+, 4 credits) in "Everything".
inline GradeBook OneClassBook() {
  GradeBook gb = FreshBook();
  AddSemester(gb, "Fall").AddClass(MakeClass(gb, "Math", 3, 4.0, {"Everything"}));
  return gb;
}

// Little-endian fields (the build machine is little-endian too): Get<int16_t>, Get<double>.
template <typename T>
T Get(const std::string& b, size_t at) {
  T v;
  std::memcpy(&v, b.substr(at, sizeof v).data(), sizeof v);
  return v;
}
inline void PutI16(std::string& b, size_t at, int16_t v) { b.replace(at, 2, reinterpret_cast<const char*>(&v), 2); }

inline SaltSource FixedSalt(int salt) { return [salt] { return salt; }; }

// A prompt closed by its frame every time: the password held is tried as it is.
inline const PasswordPrompt kKeep = [](PromptMode) -> std::optional<std::string> { return std::nullopt; };

// A prompt that answers from a list and records the modes it was asked with; after the list
// it cancels.
struct PromptScript {
  explicit PromptScript(std::vector<std::string> script) : answers(std::move(script)) {}
  std::vector<std::string> answers;
  std::vector<int> modes;
  PasswordPrompt Prompt() {
    return [this](PromptMode mode) -> std::optional<std::string> {
      modes.push_back(static_cast<int>(mode));
      return modes.size() <= answers.size() ? answers[modes.size() - 1] : std::string();
    };
  }
};

// A protected file as a program that takes passwords of any length writes it.
inline std::string SavedElsewhere(const GradeBook& gb, const std::string& password, int salt) {
  return storage_detail::EncodeProtectedWord(gb, password, FixedSalt(salt), 3).bytes;
}

// Two books hold the same file content when they write the same plain file (its layout is
// checked byte for byte elsewhere). A read book keeps its semesters in file order, all marked.
inline void ExpectSameContent(const GradeBook& want, const GradeBook& got) {
  const EncodeResult a = EncodePlain(want), b = EncodePlain(got);
  ASSERT_TRUE(a.ok && b.ok) << a.error << b.error;
  EXPECT_EQ(a.bytes, b.bytes);
  ASSERT_EQ(got.SemesterOrder.size(), got.Semesters.size());
  for (size_t s = 0; s < got.Semesters.size(); ++s)
    EXPECT_TRUE(got.SemesterOrder[s].Marked && got.SemesterOrder[s].Name == got.Semesters[s].Name);
}

}  // namespace mw::test
