// The password key, its check and the multipliers.
#include <gtest/gtest.h>

#include <set>

#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

namespace mw {
namespace {

using storage_detail::CheckPassword;
using storage_detail::GetComp;
using storage_detail::MakePasswordKey;

std::vector<int> Values(const PasswordKey& k) { return {k.values, k.values + 7}; }

TEST(PasswordKey, WorkedValuesAndTheCheck) {
  // "abc" with salt 64: three values from the characters, three from the chain rule; with one
  // character, values 2 to 6 all come from the chain rule.
  EXPECT_EQ(Values(MakePasswordKey("abc", 64)),
            (std::vector<int>{64, 6111, 1372, 9999, 5796, 5040, 5418}));
  EXPECT_EQ(Values(MakePasswordKey("a", 64)),
            (std::vector<int>{64, 6111, 882, 7497, 189, 3843, 2016}));
  // Characters count by their Windows-1252 codes; the largest values stay within 16 bits.
  EXPECT_EQ(MakePasswordKey("é", 64).values[1], 63 * 233);
  EXPECT_EQ(MakePasswordKey("ÿÿÿÿÿÿ", 127).values[1], 126 * 255);

  const PasswordKey one = MakePasswordKey("a", 100), five = MakePasswordKey("abcde", 77);
  const PasswordKey eight = MakePasswordKey("abcdefgh", 77);
  for (const char* pw : {"abcdefgh", "abcdefXY", "abcdef"})  // only six characters count
    EXPECT_TRUE(CheckPassword(pw, eight)) << pw;
  for (const char* pw : {"abcdeZgh", "Abcdefgh"}) EXPECT_FALSE(CheckPassword(pw, eight)) << pw;
  for (const char* pw : {"b", "aa", ""}) EXPECT_FALSE(CheckPassword(pw, one)) << pw;
  // A longer or shorter password, or a character with no Windows-1252 code, never matches.
  for (const char* pw : {"abcdef", "abcd", "abcdeЖ"}) EXPECT_FALSE(CheckPassword(pw, five)) << pw;
  PasswordKey junk;
  for (int16_t& v : junk.values) v = INT16_MIN;
  EXPECT_FALSE(CheckPassword("a", junk));
}

TEST(PasswordKey, MultipliersAtTheirEdges) {
  EXPECT_EQ(GetComp(false, 5, 64, "abc"), 1);
  EXPECT_EQ(GetComp(true, 5, 64, ""), 1);
  // "ab", salt 64: position 1 takes character 1, position 2 character 2.
  EXPECT_EQ(GetComp(true, 1, 64, "ab"), 90);
  EXPECT_EQ(GetComp(true, 2, 64, "ab"), 91);
  // Salt 126 gives -7 everywhere; salt 74 with "/" gives 0.
  for (int j : {1, 2, 100, 257}) EXPECT_EQ(GetComp(true, j, 126, "xyz?"), -7);
  EXPECT_EQ(GetComp(true, 1, 74, "/"), 0);
  EXPECT_TRUE(storage_detail::SaltGivesZero("a/", 74));
  EXPECT_FALSE(storage_detail::SaltGivesZero("a/", 126));
  // (j + 1) x 127 overflows 16 bits above position 257.
  EXPECT_TRUE(GetComp(true, 257, 64, "abc").has_value());
  EXPECT_FALSE(GetComp(true, 258, 64, "abc").has_value());
  EXPECT_EQ(GetComp(false, 258, 64, "abc"), 1);

  // The clock-seeded salt stays in range and varies.
  SaltSource salt = ClockSeededSalt();
  std::set<int> seen;
  for (int i = 0; i < 5000; ++i) seen.insert(salt());
  EXPECT_GE(*seen.begin(), 64);
  EXPECT_LE(*seen.rbegin(), 127);
  EXPECT_GT(seen.size(), 32u);
}

}  // namespace
}  // namespace mw
