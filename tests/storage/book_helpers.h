#pragma once
// Small grade books for the file tests, and a content comparison.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/gradebook.h"
#include "storage/gradebook_file.h"

namespace mw::test {

inline Class MakeClass(std::string name, int grade, double credits,
                       std::vector<std::string> groups) {
  Class c;
  c.Name = std::move(name);
  c.Grade = static_cast<int16_t>(grade);
  c.Credits = credits;
  c.Groups = std::move(groups);
  return c;
}

inline Semester& AddSemester(GradeBook& gb, std::string name) {
  gb.Semesters.emplace_back();
  gb.Semesters.back().Name = name;
  gb.SemesterOrder.push_back({std::move(name), true});
  return gb.Semesters.back();
}

// A fresh grade book with one semester "Fall" holding "Math" (B+, 4 credits) in "Everything".
inline GradeBook OneClassBook() {
  GradeBook gb;
  ResetToFresh(gb, 0);
  AddSemester(gb, "Fall").AddClass(MakeClass("Math", 3, 4.0, {"Everything"}));
  return gb;
}

inline int I16At(const std::string& b, size_t at) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<unsigned char>(b.at(at)) |
                                                    static_cast<unsigned char>(b.at(at + 1)) << 8));
}
inline double F64At(const std::string& b, size_t at) {
  double d;
  std::memcpy(&d, b.substr(at, 8).data(), 8);  // the build machine is little-endian too
  return d;
}
inline void PutI16(std::string& b, size_t at, int v) {
  b.at(at) = static_cast<char>(v & 0xFF);
  b.at(at + 1) = static_cast<char>((v >> 8) & 0xFF);
}

inline SaltSource FixedSalt(int salt) {
  return [salt] { return salt; };
}

// A prompt that answers from a list and records the modes it was asked with; after the list
// it cancels.
struct PromptScript {
  explicit PromptScript(std::vector<std::string> a) : answers(std::move(a)) {}
  std::vector<std::string> answers;
  std::vector<int> modes;
  PasswordPrompt Prompt() {
    return [this](int mode, std::string& password) {
      modes.push_back(mode);
      password = modes.size() <= answers.size() ? answers[modes.size() - 1] : std::string();
    };
  }
};

// Two books hold the same file content when they write the same plain file (its layout is
// checked byte for byte elsewhere). A read book keeps its semesters in file order, all marked.
inline void ExpectSameContent(const GradeBook& want, const GradeBook& got) {
  const EncodeResult a = EncodePlain(want), b = EncodePlain(got);
  ASSERT_TRUE(a.ok && b.ok) << a.error << b.error;
  EXPECT_EQ(a.bytes, b.bytes);
  ASSERT_EQ(got.SemesterOrder.size(), got.Semesters.size());
  for (size_t s = 0; s < got.Semesters.size(); ++s) {
    EXPECT_EQ(got.SemesterOrder[s].Name, got.Semesters[s].Name);
    EXPECT_TRUE(got.SemesterOrder[s].Marked);
  }
}

}  // namespace mw::test
