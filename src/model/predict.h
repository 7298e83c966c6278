#pragma once
// The needed-GPA prediction.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/figures.h"
#include "model/gradebook.h"

namespace mw {

// The status text for the desired-GPA and classes-left texts, given the method in use (null:
// no method) and the figures of the last GPA update.
std::string PredictNeeded(std::string_view desiredText, std::string_view classesLeftText,
                          const Method* method, double maskGPA, int64_t maskClassCount,
                          double maskCredits);

// The status text of a prediction the inputs do not allow ("Desired GPA value is out of
// range.", "You must have a postive number of classes left."), or "" when they allow one.
std::string PredictRefusal(std::string_view desiredText, std::string_view classesLeftText,
                           const Method* method);

// The same with the grade book's method in use and its figures under it.
std::string PredictNeeded(const GradeBook& gb, const BookFigures& figures,
                          std::string_view desiredText, std::string_view classesLeftText);

// Status texts of the two input boxes' change handlers: the message, or "" to clear.
std::string DesiredGpaChangeMessage(std::string_view text);
std::string ClassesLeftChangeMessage(std::string_view text);

}  // namespace mw
