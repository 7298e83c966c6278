#include "cli/commands.h"

#include <cstdio>
#include <ctime>
#include <istream>
#include <ostream>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "cli/json_text.h"
#include "model/gpa.h"
#include "model/numtext.h"
#include "model/predict.h"
#include "report/grade_report.h"
#include "report/report_file.h"
#include "storage/gradebook_file.h"

namespace mw::cli {
namespace {

// One password: a line of standard input without its line end. End of input is a Cancel.
std::string ReadPasswordLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) return {};
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// One password for the prompt mode: lines of standard input until one that a grade book file
// can use; each refused line is reported and the next one read. End of input is a Cancel.
std::string ReadPassword(std::istream& in, std::ostream& err, PromptMode mode) {
  for (;;) {
    std::string line = ReadPasswordLine(in);
    const auto why = PasswordRefusal(mode, line);
    if (!why) return line;
    err << "markwell-cli: " << *why << '\n';
  }
}

std::string SavingError(const std::string& path) {
  return "Error saving to file \"" + path + "\"! (Read-only?)";
}

// A usage error that names what was asked for and lists what the file offers.
int UnknownName(std::ostream& err, std::string_view what, const std::string& name,
                std::string_view plural, const std::vector<std::string>& offered) {
  std::string problem = "unknown " + std::string(what) + " \"" + name + "\"; ";
  if (offered.empty()) {
    problem += "the file has no " + std::string(plural);
  } else {
    problem += "the file's " + std::string(plural) + " are:";
    for (const auto& n : offered) problem += "\n  " + n;
  }
  return UsageError(err, problem);
}

// Makes --method the current method (the first of that exact name); false after a usage error.
bool ChooseMethod(GradeBook& gb, const Arguments& args, std::ostream& err, int& status) {
  if (!args.method) return true;
  for (size_t i = 0; i < gb.Methods.size(); ++i) {
    if (gb.Methods[i].Name == *args.method) {
      gb.MethodPos = static_cast<int>(i);
      return true;
    }
  }
  std::vector<std::string> names;
  for (const auto& m : gb.Methods) names.push_back(m.Name);
  status = UnknownName(err, "method", *args.method, "grading methods", names);
  return false;
}

// The name of the method the figures use: the window's lookup of the selector's text.
const Method* MethodInUse(GradeBook& gb) { return gb.GetMethod(gb.MethodText()); }

int Summary(GradeBook& gb, const Arguments& args, std::ostream& out) {
  const std::vector<SemesterFigures> semesters = SemesterSummary(gb);
  gb.CurrentSemester.reset();
  const GpaFigures overall = UpdateGPABoxes(gb);
  const Method* method = MethodInUse(gb);

  if (!args.json) {
    out << "Method: " << (method ? method->Name : std::string("(none)")) << '\n';
    for (const auto& s : semesters) {
      out << "Semester \"" << s.Name << "\": GPA " << s.GpaText << ", " << s.Classes
          << (s.Classes == 1 ? " class, " : " classes, ") << GeneralNumber(s.Credits)
          << " credits\n";
    }
    out << "Overall: GPA " << overall.OverallGPAText << ' ' << overall.CountCaption << ' '
        << overall.CountTooltip << '\n';
    return kOk;
  }

  std::string json = "{\n  \"method\": ";
  json += method ? JsonString(method->Name) : std::string("null");
  json += ",\n  \"semesters\": [";
  for (size_t i = 0; i < semesters.size(); ++i) {
    const auto& s = semesters[i];
    json += i ? ",\n    " : "\n    ";
    json += "{\"name\": " + JsonString(s.Name) + ", \"gpa\": " + JsonNumber(s.Gpa) +
            ", \"gpa_text\": " + JsonString(s.GpaText) + ", \"classes\": " +
            JsonNumber(s.Classes) + ", \"credits\": " + JsonNumber(s.Credits) + "}";
  }
  json += semesters.empty() ? "],\n" : "\n  ],\n";
  json += "  \"overall\": {\"gpa\": " + JsonNumber(overall.OverallGPA) +
          ", \"gpa_text\": " + JsonString(overall.OverallGPAText) +
          ", \"classes\": " + JsonNumber(overall.ClassCount) +
          ", \"credits\": " + JsonNumber(overall.CountedCredits) +
          ", \"all_credits\": " + JsonNumber(overall.AllCredits) + "}\n}\n";
  out << json;
  return kOk;
}

int Predict(GradeBook& gb, const Arguments& args, std::ostream& out) {
  UpdateGPABoxes(gb);  // the prediction reads the figures of the last update
  out << PredictNeeded(gb, *args.desired, *args.left) << '\n';
  return kOk;
}

int Export(GradeBook& gb, const Arguments& args, std::ostream& out, std::ostream& err) {
  ReportChoices choices;
  choices.Organisation = args.by && *args.by == "group" ? ReportOrganisation::ByGroup
                                                        : ReportOrganisation::BySemester;
  if (args.semesters.empty()) {
    for (const auto& e : gb.SemesterOrder)
      if (e.Marked) choices.CheckedSemesters.push_back(e.Name);
  } else {
    for (const auto& name : args.semesters) {
      if (gb.SemesterEntryIndex(name) < 0) {
        std::vector<std::string> names;
        for (const auto& e : gb.SemesterOrder) names.push_back(e.Name);
        return UnknownName(err, "semester", name, "semesters", names);
      }
      choices.CheckedSemesters.push_back(name);
    }
  }
  if (args.groups.empty()) {
    for (const auto& g : gb.GroupNames)
      if (g.InMask) choices.SelectedGroups.push_back(g.Name);
  } else {
    for (const auto& name : args.groups)
      if (gb.GroupPosition(name) < 0)
        return UnknownName(err, "group", name, "groups", gb.GroupNameList());
    // The dialog's group list keeps the file's order, whatever order they were named in.
    const std::unordered_set<std::string_view> wanted(args.groups.begin(), args.groups.end());
    for (const auto& g : gb.GroupNames)
      if (wanted.count(g.Name)) choices.SelectedGroups.push_back(g.Name);
  }
  choices.MethodName = gb.MethodText();

  const ReportTotals totals = UpdateTotals(gb, choices);
  const std::string report =
      GradeReport(gb, choices, totals, args.date ? *args.date : LocalDateTimeText());
  if (!args.output) {
    out << ReportBytes(report);
    return kOk;
  }
  if (!WriteReportFile(*args.output, report)) {
    err << SavingError(*args.output) << '\n';
    return kFileError;
  }
  out << "Exported grades to file '" << *args.output << "'.\n";
  return kOk;
}

int Convert(GradeBook& gb, const Arguments& args, std::istream& in, std::ostream& out,
            std::ostream& err) {
  const std::string& target = args.files[1];
  EncodeResult encoded;
  if (args.protect) {
    const std::string password = ReadPassword(in, err, PromptMode::Save);
    if (password.empty()) {
      err << "No password entered; did not save file \"" << target
          << "\"! (Turn off password-protection in the Options menu.)\n";
      return kFileError;
    }
    encoded = EncodeProtected(gb, password);
  } else {
    encoded = EncodePlain(gb);
  }
  if (!encoded.ok || !WriteFileAtomically(target, encoded.bytes)) {
    err << SavingError(target) << '\n';
    return kFileError;
  }
  out << "Sucessfully saved to file " << target
      << (args.protect ? ". (password-protected)" : ".") << '\n';
  return kOk;
}

}  // namespace

int UsageError(std::ostream& err, const std::string& problem) {
  err << "markwell-cli: " << problem << '\n' << UsageText();
  return kUsageError;
}

int LoadBook(const std::string& path, std::istream& in, std::ostream& err, GradeBook& gb) {
  const std::string readError = "Error reading in file \"" + path + "\"!";
  std::string bytes;
  if (!ReadFileBytes(path, bytes) || bytes.empty()) {
    err << readError << '\n';
    return kFileError;
  }
  const PasswordPrompt prompt = [&in, &err](PromptMode mode) -> std::optional<std::string> {
    return ReadPassword(in, err, mode);
  };
  DecodeResult result = DecodeGradeBook(bytes, std::string(), prompt);
  switch (result.status) {
    case DecodeStatus::Cancelled:
      err << "Did not open file \"" << path << "\"!\n";
      return kFileError;
    case DecodeStatus::Error:
      err << readError << '\n';
      return kFileError;
    case DecodeStatus::Ok:
      break;
  }
  gb = std::move(result.book);
  gb.CurrentSemester.reset();
  gb.CurrentClass.reset();
  gb.SelectAllSemesters();
  gb.FileName = path;
  gb.FullFileName = path;
  gb.IsPassProtected = result.isProtected;
  gb.Password = result.isProtected ? std::move(result.password) : std::string();
  return kOk;
}

std::vector<SemesterFigures> SemesterSummary(GradeBook& gb) {
  const Method* m = MethodInUse(gb);
  std::unordered_set<std::string_view> marked;
  for (const auto& e : gb.SemesterOrder)
    if (e.Marked) marked.insert(e.Name);
  std::unordered_set<std::string_view> mask;
  for (const auto& g : gb.GroupNames)
    if (g.InMask) mask.insert(g.Name);

  // The window's semester sums, Ps and Cs, gathered for every name at once. Each name's sums
  // take their terms in the window's order (semesters, then classes, in collection order), so
  // the rounding is the same as a refresh with that semester current.
  struct Sums {
    double Points = 0, Credits = 0;
    int64_t Classes = 0;
  };
  std::unordered_map<std::string_view, Sums> byName;
  byName.reserve(gb.Semesters.size());
  for (const auto& s : gb.Semesters) {
    Sums& sums = byName[s.Name];
    if (!marked.count(s.Name)) continue;  // an unmarked current semester shows 0.0
    for (const auto& c : s.Classes) {
      bool counted = false;
      for (const auto& g : c.Groups)
        if (mask.count(g)) {
          counted = true;
          break;
        }
      if (!counted) continue;
      const double gp = m ? m->GetEquiv(c.Grade) : 0.0;
      sums.Credits += c.Credits;
      sums.Points += gp * c.Credits;
      sums.Classes += 1;
    }
  }

  std::vector<SemesterFigures> out;
  out.reserve(gb.Semesters.size());
  for (const auto& s : gb.Semesters) {
    const Sums& sums = byName[s.Name];
    SemesterFigures f;
    f.Name = s.Name;
    f.Classes = sums.Classes;
    f.Credits = sums.Credits;
    f.Gpa = sums.Points / (sums.Credits == 0 ? 1.0 : sums.Credits);
    f.GpaText = Format3(f.Gpa);
    out.push_back(std::move(f));
  }
  return out;
}

std::string LocalDateTimeText() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (!local) return {};
  const int hour12 = local->tm_hour % 12 == 0 ? 12 : local->tm_hour % 12;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", local->tm_mon + 1, local->tm_mday,
                local->tm_year + 1900, hour12, local->tm_min, local->tm_sec,
                local->tm_hour < 12 ? "AM" : "PM");
  return buf;
}

int RunCommand(const Arguments& args, std::istream& in, std::ostream& out, std::ostream& err) {
  GradeBook gb;
  if (const int status = LoadBook(args.files.at(0), in, err, gb); status != kOk) return status;
  int status = kOk;
  if (!ChooseMethod(gb, args, err, status)) return status;
  switch (args.command) {
    case Command::Summary: return Summary(gb, args, out);
    case Command::Predict: return Predict(gb, args, out);
    case Command::Export: return Export(gb, args, out, err);
    case Command::Convert: return Convert(gb, args, in, out, err);
    default: return UsageError(err, "no command given");
  }
}

}  // namespace mw::cli
