#include "model/figures.h"

#include <array>
#include <unordered_map>

#include "model/numtext.h"

namespace mw {

int MethodInUseIndex(const GradeBook& gb) {
  if (gb.Methods.empty()) return -1;
  const std::string text = gb.MethodText();
  for (size_t i = 0; i < gb.Methods.size(); ++i)
    if (gb.Methods[i].Name == text) return static_cast<int>(i);
  return static_cast<int>(gb.Methods.size()) - 1;
}

FigureChoices ChoicesOf(const GradeBook& gb) {
  FigureChoices c;
  c.Order.reserve(gb.SemesterOrder.size());
  for (const auto& e : gb.SemesterOrder) {
    c.Order.push_back({e.Name, e.Marked});
    if (e.Marked) c.Marked.insert(e.Name);
  }
  c.Mask = GroupMask(gb);
  c.MethodIndex = MethodInUseIndex(gb);
  return c;
}

ClassGpa ClassGradePoints(const GradeBook& gb, int gradePos) {
  const Method* m = gb.MethodInUse();
  ClassGpa out;
  out.GradePoints = m ? m->GetEquiv(gradePos) : 0.0;
  out.Text = Format2(out.GradePoints);
  return out;
}

const SemesterRow* BookFigures::Row(std::string_view name) const {
  for (const auto& r : Rows)
    if (r.Name == name) return &r;
  return nullptr;
}

namespace {

// Grade points by grade position; position 13 stands for every grade outside the letter list.
using PointTable = std::array<double, kGradeCount + 1>;

size_t PointIndex(int16_t grade) {
  const auto pos = static_cast<uint16_t>(grade);
  return pos < kGradeCount ? pos : kGradeCount;
}

double Divide(double points, double credits) { return points / (credits == 0 ? 1.0 : credits); }

// The sums of all semesters of one name, as a semester's figures take them.
struct NameSums {
  int64_t Classes = 0;
  double Credits = 0.0;
  size_t Points = 0;            // where its points per method start in the flat list of sums
  std::vector<size_t> Indices;  // the marked semesters of this name
  bool Added = false;           // already taken into the cumulative figures
};

// A counted class as the cumulative pass adds it: its grade points under the method in use
// times its credits, and its credits.
struct CountedClass {
  double Points;
  double Credits;
};

}  // namespace

BookFigures ComputeFigures(const GradeBook& gb, std::string_view currentSemester,
                       FigureMethods methods) {
  return ComputeFigures(gb, ChoicesOf(gb), currentSemester, methods);
}

BookFigures ComputeFigures(const GradeBook& gb, const FigureChoices& choices,
                       std::string_view currentSemester, FigureMethods methods) {
  BookFigures f;
  const bool every = methods == FigureMethods::All;
  const bool full = every || methods == FigureMethods::Rows;  // rows with texts and cumulative
  const bool rows = full || methods == FigureMethods::InUseRows;
  const size_t count = gb.Methods.size();
  f.MethodIndex = choices.MethodIndex >= 0 && static_cast<size_t>(choices.MethodIndex) < count
                      ? choices.MethodIndex
                      : -1;
  const bool inUse = f.MethodIndex >= 0;
  if (inUse) {
    const Method& m = gb.Methods[static_cast<size_t>(f.MethodIndex)];
    f.MethodName = m.Name;
    f.Highest = m.GetHighest();
    f.Lowest = m.GetLowest();
  }

  // The methods summed: every one, or only the one in use (none without one). `used` is the
  // slot of the method in use among them.
  std::vector<size_t> summed;
  if (every) {
    for (size_t j = 0; j < count; ++j) summed.push_back(j);
  } else if (inUse) {
    summed.push_back(static_cast<size_t>(f.MethodIndex));
  }
  const size_t used = every ? static_cast<size_t>(f.MethodIndex) : 0;
  const size_t n = summed.size();
  std::vector<PointTable> points(n);
  for (size_t j = 0; j < n; ++j)
    for (int g = 0; g <= kGradeCount; ++g)
      points[j][static_cast<size_t>(g)] = gb.Methods[summed[j]].GetEquiv(g);

  double C = 0, A = 0, Ps = 0, Cs = 0;
  int64_t k = 0;
  std::vector<double> overall(n, 0.0);
  if (!rows) {
    // The method in use only: the overall and the current semester's sums.
    double P = 0;
    for (const Semester& s : gb.Semesters) {
      if (!choices.IsMarked(s.Name)) continue;
      const bool isCurrent = s.Name == currentSemester;
      for (const Class& c : s.Classes) {
        A += c.Credits;
        if (!choices.InMask(c)) continue;
        const double x = inUse ? points[0][PointIndex(c.Grade)] * c.Credits : 0.0;
        P += x;
        C += c.Credits;
        ++k;
        if (isCurrent) {
          Ps += x;
          Cs += c.Credits;
        }
      }
    }
    if (inUse) overall[0] = P;
  }

  // One pass: the overall sums, the current semester's, and for the rows each name's sums
  // under the methods summed; for the overview, which classes counted is kept for the
  // cumulative pass, in a compact list semester by semester, so that pass does not walk the
  // classes again.
  std::unordered_map<std::string_view, NameSums> byName;
  std::vector<double> nameSums;  // per name, per method
  std::vector<size_t> firstClass;
  std::vector<CountedClass> counted;
  if (rows) {
    byName.reserve(gb.Semesters.size());
    nameSums.reserve(gb.Semesters.size() * n);
    firstClass.assign(gb.Semesters.size() + 1, 0);
    size_t classes = 0;
    for (const Semester& s : gb.Semesters) classes += s.Classes.size();
    counted.reserve(classes);
  }
  for (size_t i = 0; rows && i < gb.Semesters.size(); ++i) {
    const Semester& s = gb.Semesters[i];
    firstClass[i] = counted.size();
    auto [it, added] = byName.try_emplace(s.Name);
    NameSums& sums = it->second;
    if (added) {
      sums.Points = nameSums.size();
      nameSums.resize(nameSums.size() + n, 0.0);
    }
    if (!choices.IsMarked(s.Name)) continue;
    sums.Indices.push_back(i);
    const bool isCurrent = s.Name == currentSemester;
    double* namePoints = nameSums.data() + sums.Points;
    for (const Class& c : s.Classes) {
      A += c.Credits;
      if (!choices.InMask(c)) continue;
      const size_t pos = PointIndex(c.Grade);
      for (size_t j = 0; j < n; ++j) {
        const double x = points[j][pos] * c.Credits;
        overall[j] += x;
        namePoints[j] += x;
      }
      if (full) counted.push_back({inUse ? points[used][pos] * c.Credits : 0.0, c.Credits});
      if (isCurrent) {
        if (inUse) Ps += points[used][pos] * c.Credits;
        Cs += c.Credits;
      }
      C += c.Credits;
      k += 1;
      sums.Credits += c.Credits;
      sums.Classes += 1;
    }
  }

  f.Classes = k;
  f.Credits = C;
  f.MaskCredits = C == 0 ? 1.0 : C;
  f.AllCredits = A;
  f.CountCaption = k == 1 ? "(1 class)" : "(" + std::to_string(k) + " classes)";
  f.CountTooltip = "(" + GeneralNumber(C) + "/" + GeneralNumber(A) + " credits)";
  f.OverallGpa = Divide(inUse ? overall[used] : 0.0, C);
  f.OverallText = Format3(f.OverallGpa);
  f.SemesterGpa = Divide(Ps, Cs);
  f.SemesterText = Format3(f.SemesterGpa);
  if (!rows) return f;

  firstClass[gb.Semesters.size()] = counted.size();
  if (every)
    for (const Method& m : gb.Methods) f.MethodNames.push_back(m.Name);
  f.MethodOverall.resize(n);
  for (size_t j = 0; j < n; ++j) f.MethodOverall[j] = Divide(overall[j], C);

  // The rows in display order. The cumulative sums take each newly reached name's classes in
  // collection order, so with the semesters listed in collection order the last cumulative
  // figure is the overall GPA to the bit.
  double cumP = 0, cumC = 0;
  f.Rows.reserve(choices.Order.size());
  for (const FigureChoices::Entry& e : choices.Order) {
    SemesterRow r;
    r.Name = std::string(e.Name);
    r.Marked = e.Marked;
    r.MethodGpa.assign(n, 0.0);
    if (auto it = byName.find(e.Name); it != byName.end()) {
      NameSums& sums = it->second;
      r.Classes = sums.Classes;
      r.Credits = sums.Credits;
      const double* namePoints = nameSums.data() + sums.Points;
      for (size_t j = 0; j < n; ++j) r.MethodGpa[j] = Divide(namePoints[j], sums.Credits);
      if (!sums.Added && inUse && full) {
        sums.Added = true;
        for (size_t i : sums.Indices) {
          for (size_t c = firstClass[i]; c < firstClass[i + 1]; ++c) {
            cumP += counted[c].Points;
            cumC += counted[c].Credits;
          }
        }
      }
    }
    r.Gpa = inUse ? r.MethodGpa[used] : 0.0;
    if (full) {
      r.GpaText = Format3(r.Gpa);
      r.Cumulative = Divide(cumP, cumC);
      r.CumulativeText = Format3(r.Cumulative);
    }
    f.Rows.push_back(std::move(r));
  }
  return f;
}

std::vector<ClassLine> ClassDetails(const GradeBook& gb, std::string_view semester) {
  return ClassDetails(gb, ChoicesOf(gb), semester);
}

std::vector<ClassLine> ClassDetails(const GradeBook& gb, const FigureChoices& choices,
                                    std::string_view semester) {
  std::vector<ClassLine> out;
  const Method* m =
      choices.MethodIndex >= 0 ? &gb.Methods[static_cast<size_t>(choices.MethodIndex)] : nullptr;
  for (const Semester& s : gb.Semesters) {
    if (s.Name != semester) continue;
    const bool marked = choices.IsMarked(s.Name);
    out.reserve(s.Classes.size());
    for (const Class& c : s.Classes) {
      ClassLine line;
      line.Name = c.Name;
      line.Grade = c.Grade;
      line.Credits = c.Credits;
      line.GradePoints = m ? m->GetEquiv(c.Grade) : 0.0;
      line.InMask = choices.InMask(c);
      line.Counts = marked && line.InMask;
      out.push_back(std::move(line));
    }
    break;
  }
  return out;
}

}  // namespace mw
