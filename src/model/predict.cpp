#include "model/predict.h"

#include "model/numtext.h"

namespace mw {

std::string PredictRefusal(std::string_view desiredText, std::string_view classesLeftText,
                           const Method* method) {
  const double D = LeadingNumber(desiredText);
  // With no method at all every grade is worth 0, so no desired GPA is in range.
  const double hi = method ? method->GetHighest() : 0.0;
  const double lo = method ? method->GetLowest() : 0.0;
  if (!(lo < D && D <= hi)) return "Desired GPA value is out of range.";
  if (LeadingNumber(classesLeftText) < 1) return "You must have a postive number of classes left.";
  return {};
}

std::string PredictNeeded(std::string_view desiredText, std::string_view classesLeftText,
                          const Method* method, double maskGPA, int64_t maskClassCount,
                          double maskCredits) {
  if (std::string refusal = PredictRefusal(desiredText, classesLeftText, method); !refusal.empty())
    return refusal;
  const double D = LeadingNumber(desiredText);
  const double n = LeadingNumber(classesLeftText);
  const double hi = method ? method->GetHighest() : 0.0;
  const double lo = method ? method->GetLowest() : 0.0;

  const double k = static_cast<double>(maskClassCount);
  const double C = maskCredits;
  const double G = maskGPA;
  double a = 0.0;
  double N = D;
  if (maskClassCount > 0) {
    a = C / k;
    N = (D * (C + n * a) - G * C) / (n * a);
  }

  std::string text = "Assuming each class is worth " + Format2(a) +
                     " credit(s), you need to average a " + Format2(N) +
                     " GPA for your next " + GeneralNumber(n) + " " +
                     (n == 1 ? "class" : "classes") + ".";
  if (N > hi)
    text += " Too high!";
  else if (N < lo)
    text += " Too low!";
  return text;
}

std::string PredictNeeded(const GradeBook& gb, const BookFigures& figures,
                          std::string_view desiredText, std::string_view classesLeftText) {
  return PredictNeeded(desiredText, classesLeftText, gb.MethodInUse(), figures.OverallGpa,
                       figures.Classes, figures.MaskCredits);
}

std::string DesiredGpaChangeMessage(std::string_view text) {
  if (!text.empty() && !IsNumericText(text))
    return "Please enter a numeric value for the desired GPA.";
  return {};
}

std::string ClassesLeftChangeMessage(std::string_view text) {
  if (!text.empty() && !IsNumericText(text))
    return "Please enter a numeric value for the number of classes left.";
  return {};
}

}  // namespace mw
