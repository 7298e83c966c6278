#include "model/plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "model/numtext.h"

namespace mw {
namespace {

// The distinct values of a method, best first, each named by the lowest letter worth it.
struct LetterValue {
  double value;
  int grade;
};
std::vector<LetterValue> DistinctValues(const Method& m) {
  std::vector<LetterValue> v;
  for (int g = 0; g < kGradeCount; ++g) v.push_back({m.GetEquiv(g), g});
  // Best first; among equal values the later letter first, so that it names the value.
  std::stable_sort(v.begin(), v.end(), [](const LetterValue& a, const LetterValue& b) {
    return a.value != b.value ? a.value > b.value : a.grade > b.grade;
  });
  std::vector<LetterValue> out;
  for (const auto& lv : v)
    if (out.empty() || out.back().value != lv.value) out.push_back(lv);
  return out;
}

std::string Letter(int grade) { return std::string(LetterGrade(grade)); }

std::string Fixed2(double x) {
  if (!std::isfinite(x)) return std::string(kNoFigure);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", x);
  return std::string(buf) == "-0.00" ? "0.00" : buf;
}

std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::string Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

std::vector<std::string_view> Split(std::string_view line, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = line.find(sep, start);
    parts.push_back(line.substr(start, at == std::string_view::npos ? line.npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

}  // namespace

double NeededOverCredits(double desired, double creditsLeft, double gpa, double countedCredits) {
  if (countedCredits <= 0) return desired;
  return (desired * (countedCredits + creditsLeft) - gpa * countedCredits) / creditsLeft;
}

std::string PredictByCreditsRefusal(std::string_view desiredText, std::string_view creditsLeftText,
                                    const Method* method) {
  const double D = LeadingNumber(desiredText);
  const double hi = method ? method->GetHighest() : 0.0;
  const double lo = method ? method->GetLowest() : 0.0;
  if (!(lo < D && D <= hi)) return "Desired GPA value is out of range.";
  if (!(LeadingNumber(creditsLeftText) > 0)) return "You must have a postive number of credits left.";
  return {};
}

std::string PredictByCredits(std::string_view desiredText, std::string_view creditsLeftText,
                             const Method* method, double gpa, double countedCredits) {
  if (std::string refusal = PredictByCreditsRefusal(desiredText, creditsLeftText, method);
      !refusal.empty())
    return refusal;
  const double n = LeadingNumber(creditsLeftText);
  const double N = NeededOverCredits(LeadingNumber(desiredText), n, gpa, countedCredits);
  std::string text = "You need to average a " + Format2(N) + " GPA over your next " +
                     GeneralNumber(n) + " credit(s).";
  // The sums carry rounding of the last bits: a needed average a hair above the highest grade
  // points (4.3000000000000007 for 4.3) is reachable, not too high.
  const double hi = method->GetHighest(), lo = method->GetLowest();
  const double slack = 1e-9 * std::max({1.0, std::fabs(hi), std::fabs(lo)});
  if (N > hi + slack)
    text += " Too high!";
  else if (N < lo - slack)
    text += " Too low!";
  return text;
}

std::string CreditsLeftChangeMessage(std::string_view text) {
  if (!text.empty() && !IsNumericText(text))
    return "Please enter a numeric value for the number of credits left.";
  return {};
}

std::string NearestLetters(double average, const Method& method) {
  const std::vector<LetterValue> v = DistinctValues(method);
  const std::string head = Format2(average) + ": ";
  auto named = [](const LetterValue& lv) { return Letter(lv.grade) + " (" + Format2(lv.value) + ")"; };
  if (average > v.front().value) return head + "above " + named(v.front());
  if (average < v.back().value) return head + "below " + named(v.back());
  for (size_t i = 0; i < v.size(); ++i) {
    if (average == v[i].value) return head + Letter(v[i].grade);
    if (average > v[i].value) {
      const LetterValue& up = v[i - 1];
      const LetterValue& down = v[i];
      const bool nearerUp = up.value - average <= average - down.value;
      return head + "between " + named(up) + " and " + named(down) + ", just " +
             (nearerUp ? "under " + Letter(up.grade) : "over " + Letter(down.grade));
    }
  }
  return head + Letter(v.back().grade);  // not reached: average is at or above the last value
}

Projection Project(const std::vector<PlannedClass>& plan, const Method& method, double gpa,
                   double countedCredits) {
  double points = 0, credits = 0;
  for (const auto& p : plan) {
    points += method.GetEquiv(p.Grade) * p.Credits;
    credits += p.Credits;
  }
  Projection out;
  out.Credits = credits;
  out.SemesterGpa = credits != 0 ? points / credits : 0.0;
  const double C = std::max(countedCredits, 0.0);
  const double all = C + credits;
  out.Cumulative = all != 0 ? (gpa * C + points) / all : 0.0;
  return out;
}

bool Reaches(double points, double credits, double target) {
  if (!(credits > 0)) return false;
  const double want = target * credits;
  return points >= want - 1e-9 * std::max(1.0, std::fabs(want));
}

GradeMix FindGradeMix(const std::vector<double>& credits, const Method& method, double target,
                      double gpa, double countedCredits) {
  GradeMix mix;
  const std::vector<LetterValue> values = DistinctValues(method);
  const double C = std::max(countedCredits, 0.0);
  const double P = gpa * C;
  const size_t n = credits.size();
  // The largest classes first: for any count of upper grades they add the most.
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return credits[size_t(a)] > credits[size_t(b)]; });
  std::vector<double> prefix(n + 1, 0.0);
  for (size_t k = 0; k < n; ++k) prefix[k + 1] = prefix[k] + credits[size_t(order[k])];
  const double T = prefix[n];

  // The lowest value that every class at once reaches the target with.
  size_t u = values.size();
  for (size_t i = values.size(); i-- > 0;) {
    if (Reaches(P + values[i].value * T, C + T, target)) {
      u = i;
      break;
    }
  }
  mix.Reachable = u < values.size();
  if (!mix.Reachable) {
    mix.TopGrade = values.front().grade;
    mix.TopCount = int(n);
    mix.MixGpa = C + T != 0 ? (P + values.front().value * T) / (C + T) : 0.0;
    return mix;
  }
  const double up = values[u].value;
  mix.UniformGrade = mix.TopGrade = values[u].grade;
  mix.UniformGpa = mix.MixGpa = (P + up * T) / (C + T);
  mix.TopCount = int(n);
  mix.TopClasses = order;
  if (u + 1 == values.size()) return mix;  // the lowest letter already reaches it
  // The fewest classes at that value with the others one letter value lower.
  const double down = values[u + 1].value;
  size_t k = 0;
  while (k < n && !Reaches(P + up * prefix[k] + down * (T - prefix[k]), C + T, target)) ++k;
  if (k == n) return mix;
  mix.TopCount = int(k);
  mix.TopClasses.resize(k);
  mix.RestGrade = values[u + 1].grade;
  mix.MixGpa = (P + up * prefix[k] + down * (T - prefix[k])) / (C + T);
  return mix;
}

std::string DescribeMix(const GradeMix& mix, int classCount) {
  if (classCount <= 0) return {};
  if (!mix.Reachable)
    return "Out of reach: all " + Letter(mix.TopGrade) + " gives " + Fixed2(mix.MixGpa);
  const std::string uniform = "all " + Letter(mix.UniformGrade) + " reaches " + Fixed2(mix.UniformGpa);
  if (mix.RestGrade < 0) return uniform;
  return std::to_string(mix.TopCount) + " \u00d7 " + Letter(mix.TopGrade) + " and " +
         std::to_string(classCount - mix.TopCount) + " \u00d7 " + Letter(mix.RestGrade) +
         " reach " + Fixed2(mix.MixGpa) + "; " + uniform;
}

std::vector<double> ClassesForCredits(double creditsLeft, double average) {
  std::vector<double> out;
  // More classes than a plan holds: no split (a mix over part of them would mislead).
  if (!(creditsLeft > 0) || !(average > 0) || creditsLeft / average > kMaxPlannedClasses) return out;
  double left = creditsLeft;
  while (left > 1e-9) {
    out.push_back(std::min(average, left));
    left -= average;
  }
  return out;
}

std::string PlanToText(const Plan& plan) {
  std::string out = "plan\t1\n";
  out += "desired\t" + Escape(plan.Desired) + "\n";
  out += std::string("by\t") + (plan.ByCredits ? "credits" : "classes") + "\n";
  out += "left\t" + Escape(plan.Left) + "\n";
  for (const auto& r : plan.Rows)
    out += "row\t" + Escape(r.Name) + "\t" + PlainNumber(r.Credits) + "\t" +
           std::to_string(r.Grade) + "\n";
  return out;
}

Plan PlanFromText(std::string_view text) {
  Plan plan;
  for (std::string_view line : Split(text, '\n')) {
    const auto f = Split(line, '\t');
    if (f.size() == 2 && f[0] == "desired") plan.Desired = Unescape(f[1]);
    else if (f.size() == 2 && f[0] == "left") plan.Left = Unescape(f[1]);
    else if (f.size() == 2 && f[0] == "by") plan.ByCredits = f[1] != "classes";
    else if (f.size() == 4 && f[0] == "row" && plan.Rows.size() < size_t(kMaxPlannedClasses)) {
      const auto credits = TextToDouble(f[2]);
      const auto grade = TextToInt16(f[3]);
      if (!credits || !grade || *grade < 0 || *grade >= kGradeCount) continue;
      plan.Rows.push_back({Unescape(f[1]), *credits, *grade});
    }
  }
  return plan;
}

}  // namespace mw
