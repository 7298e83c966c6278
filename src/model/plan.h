#pragma once
// Planning the rest of a degree: the average needed over the credits left, the letters that
// average lies between, what planned classes would make of the GPA, and the fewest top grades
// that reach a target.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/method.h"

namespace mw {

// The status text of the prediction over credits left: "You need to average a X GPA over your
// next N credit(s)." with " Too high!" / " Too low!", or the refusal when the desired GPA is
// outside the method's range or no credits are left. countedCredits and gpa are the overall
// figures (the credits before 0 becomes 1).
std::string PredictByCredits(std::string_view desiredText, std::string_view creditsLeftText,
                             const Method* method, double gpa, double countedCredits);
// The refusal alone ("" when the inputs allow a prediction).
std::string PredictByCreditsRefusal(std::string_view desiredText, std::string_view creditsLeftText,
                                    const Method* method);
// The change message of a credits-left box: the message, or "" to clear.
std::string CreditsLeftChangeMessage(std::string_view text);
// needed = (D*(C+n) - G*C)/n; D itself when nothing is counted yet.
double NeededOverCredits(double desired, double creditsLeft, double gpa, double countedCredits);

// Names a grade-point average by the letters of the method around it:
// "3.69: between A- (3.7) and B+ (3.3), just under A-", "4.0: A", "4.5: above A+ (4.3)".
// Letters worth the same take the later (lower) letter's name.
std::string NearestLetters(double average, const Method& method);

// A planned class: what the student expects to take.
struct PlannedClass {
  std::string Name;
  double Credits = 0.0;
  int Grade = 1;  // position in the letter grade list
  friend bool operator==(const PlannedClass&, const PlannedClass&) = default;
};

// What planned classes make of the figures: their own GPA, and the cumulative GPA with the
// counted classes (points = GPA x counted credits).
struct Projection {
  double SemesterGpa = 0.0;   // 0 when the planned classes have no credits
  double Cumulative = 0.0;    // the overall GPA with the planned classes
  double Credits = 0.0;       // planned credits
};
Projection Project(const std::vector<PlannedClass>& plan, const Method& method, double gpa,
                   double countedCredits);

// The fewest top grades reaching a target over classes of the given credits, after the counted
// classes (gpa over countedCredits).
//
// `uniform` is the lowest letter that reaches the target with every class at it. The mix
// splits the classes between that letter and the next lower value: `top` classes at the
// upper one (the largest classes, since they add the most) and the others at the lower one,
// with `top` as small as reaches the target. When the lowest letter already reaches it, or
// only every class at the upper letter does, the mix is every class at `uniform`.
//
// The search is bounded: one pass over the at most 13 letter values for `uniform`, then one
// over the counts 0..n of upper grades, that is at most 13 + n + 1 sums for n classes after
// one sort, so it stays exact and quick for any plan; the planning window holds at most
// kMaxPlannedClasses rows, and credits left are split into at most as many classes.
struct GradeMix {
  bool Reachable = false;  // false: even every class at the best value falls short
  int TopCount = 0;        // classes at TopGrade
  int TopGrade = -1;       // the upper letter (the best letter when out of reach)
  int RestGrade = -1;      // the lower letter of the others; -1 when every class is at TopGrade
  double MixGpa = 0.0;     // the cumulative GPA the mix gives (every class at the best letter
                           // when out of reach)
  int UniformGrade = -1;   // lowest letter reaching the target for every class
  double UniformGpa = 0.0;
  std::vector<int> TopClasses;  // which classes take TopGrade, as positions in the credits given
};
GradeMix FindGradeMix(const std::vector<double>& credits, const Method& method, double target,
                      double gpa, double countedCredits);
// "3 × A- and 3 × B+ reach 3.50; all A- reaches 3.70"; "Out of reach: all A+ gives 4.30";
// empty for no classes.
std::string DescribeMix(const GradeMix& mix, int classCount);
// Classes of size `average` for the credits left (the last one takes the remainder); none
// when that would be more than kMaxPlannedClasses classes.
std::vector<double> ClassesForCredits(double creditsLeft, double average);
// Whether the planned grades reach target after the counted classes.
bool Reaches(double points, double credits, double target);

inline constexpr int kMaxPlannedClasses = 200;

// A plan as the settings keep it, per grade book file.
struct Plan {
  std::string Desired;
  bool ByCredits = true;  // the left amount is credits (true) or classes (false)
  std::string Left;
  std::vector<PlannedClass> Rows;
  friend bool operator==(const Plan&, const Plan&) = default;
};
std::string PlanToText(const Plan& plan);
Plan PlanFromText(std::string_view text);  // whatever does not read is left out

}  // namespace mw
