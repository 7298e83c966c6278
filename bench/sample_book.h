#pragma once
// A generated grade book for the benchmarks.
#include <string>

#include "model/gradebook.h"

namespace mw::bench {

// A fresh grade book with `semesters` semesters of `classesPerSemester` classes each, `groups`
// groups of which the first `maskGroups` are in the mask, each class in 1 to 3 groups, mixed
// grades and credits, every semester marked. Group names are
// groupPrefix followed by a number.
GradeBook MakeSampleBook(int semesters, int classesPerSemester, int groups, int maskGroups,
                         const std::string& groupPrefix = "Group ");

}  // namespace mw::bench
