#include "ui/sheet/sheet_model.h"

#include <QBrush>
#include <QPalette>
#include <QStringList>
#include <algorithm>

#include "model/amount.h"
#include "model/codepage.h"
#include "model/method.h"
#include "model/numtext.h"

namespace mw {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

const char* const kNoName = "No class name.";
const char* const kNoGrade = "Not a letter grade.";
const char* const kNoCredits = "Please enter a numeric value for the number of credits.";

// Credits as the credits box reads them: empty is 0, and the bound applies.
std::optional<double> ReadCredits(const QString& text) {
  if (text.trimmed().isEmpty()) return 0.0;
  auto value = TextToDouble(S(text));
  if (value && !IsSafeAmount(*value)) value.reset();
  return value;
}

// Group names separated by ";", blanks around each dropped; an empty cell is no group.
std::vector<std::string> ReadGroups(const QString& text) {
  std::vector<std::string> groups;
  for (const QString& piece : text.split(QLatin1Char(';'))) {
    const std::string name = S(piece.trimmed());
    if (!name.empty() && std::find(groups.begin(), groups.end(), name) == groups.end())
      groups.push_back(name);
  }
  return groups;
}

inline unsigned char Lower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

}  // namespace

SheetModel::SheetModel(BookDocument& doc, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc) {
  defaults_ = [] { return std::pair<int, double>(1, 1.0); };
  connect(&doc_, &BookDocument::Changed, this,
          [this](unsigned touches, const edit::Place& place, BookDocument::Cause) {
            OnChanged(touches, place);
          });
  beginResetModel();
  Rebuild();
  endResetModel();
}

void SheetModel::Rebuild() {
  const GradeBook& gb = doc_.Book();
  rows_.clear();
  firstRow_.assign(gb.Semesters.size(), -1);
  for (const auto& entry : gb.SemesterOrder) {
    const int s = gb.SemesterIndex(entry.Name);
    if (s < 0 || firstRow_[static_cast<size_t>(s)] >= 0) continue;
    firstRow_[static_cast<size_t>(s)] = static_cast<int>(rows_.size());
    const int count = static_cast<int>(gb.Semesters[static_cast<size_t>(s)].Classes.size());
    for (int c = 0; c < count; ++c) rows_.push_back({s, c});
  }
  choices_ = ChoicesOf(gb);
}

void SheetModel::OnChanged(unsigned touches, const edit::Place& place) {
  using namespace edit;
  if (touches & (kSemesterList | kClassList)) {
    if (touches == BookDocument::kEverything) pending_ = {};  // another book: nothing typed yet
    beginResetModel();
    Rebuild();
    endResetModel();
    return;
  }
  // kGroups alone is this model's column: the group list's touch is edit::kGroups.
  if (touches & (edit::kGroups | kMask | kMethods | kMethodInUse | BookDocument::kMarks))
    choices_ = ChoicesOf(doc_.Book());
  if (touches & kClassValues) {
    const int row = place.semester && place.cls ? RowOf({*place.semester, *place.cls}) : -1;
    if (row >= 0)
      emit dataChanged(index(row, 0), index(row, kColumns - 1));
    else
      ColumnsChanged(kCredits, kCounts);
  }
  if (touches & edit::kGroups) ColumnsChanged(kGroups, kGroups);
  if (touches & (kMask | kMethods | kMethodInUse | BookDocument::kMarks | edit::kGroups))
    ColumnsChanged(kGradePoints, kCounts);
}

void SheetModel::ColumnsChanged(int first, int last) {
  if (!rows_.empty())
    emit dataChanged(index(0, first), index(static_cast<int>(rows_.size()) - 1, last));
}

const Class& SheetModel::ClassOf(const Ref& r) const {
  return doc_.Book().Semesters[static_cast<size_t>(r.semester)].Classes[static_cast<size_t>(r.cls)];
}

std::optional<edit::ClassRef> SheetModel::ClassAt(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
  const Ref& r = rows_[static_cast<size_t>(row)];
  return edit::ClassRef{doc_.Book().Semesters[static_cast<size_t>(r.semester)].Name,
                        ClassOf(r).Name};
}

int SheetModel::RowOf(const edit::ClassRef& cls) const {
  const GradeBook& gb = doc_.Book();
  const int s = gb.SemesterIndex(cls.semester);
  if (s < 0 || static_cast<size_t>(s) >= firstRow_.size() || firstRow_[static_cast<size_t>(s)] < 0)
    return -1;
  const auto& classes = gb.Semesters[static_cast<size_t>(s)].Classes;
  for (size_t c = 0; c < classes.size(); ++c)
    if (classes[c].Name == cls.cls) return firstRow_[static_cast<size_t>(s)] + static_cast<int>(c);
  return -1;
}

QString SheetModel::NewRowSemester() const {
  if (!pending_[kSemester].isEmpty()) return pending_[kSemester];
  if (!rows_.empty())
    return Q(doc_.Book().Semesters[static_cast<size_t>(rows_.back().semester)].Name);
  if (const Semester* s = doc_.CurrentSemesterObj()) return Q(s->Name);
  return {};
}

int SheetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size()) + 1;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const names[kColumns] = {"Semester",     "Class",  "Credits", "Grade",
                                              "Grade Points", "Groups", "Counts"};
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
    return QString::fromLatin1(names[section]);
  if (orientation == Qt::Vertical && role == Qt::DisplayRole)
    return IsNewRow(section) ? QStringLiteral("*") : QString::number(section + 1);
  return {};
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() != kGradePoints && index.column() != kCounts) f |= Qt::ItemIsEditable;
  return f;
}

QString SheetModel::Text(const Ref& r, int column) const {
  const GradeBook& gb = doc_.Book();
  const Class& c = ClassOf(r);
  switch (column) {
    case kSemester:
      return Q(gb.Semesters[static_cast<size_t>(r.semester)].Name);
    case kClass:
      return Q(c.Name);
    case kCredits:
      return Q(PlainNumber(c.Credits));
    case kGrade:
      return Q(std::string(LetterGrade(c.Grade)));
    case kGradePoints: {
      const int m = choices_.MethodIndex;
      return Q(Format2(m < 0 ? 0.0 : gb.Methods[static_cast<size_t>(m)].GetEquiv(c.Grade)));
    }
    case kGroups: {
      QStringList names;
      for (GroupId g : c.Groups) names << Q(gb.GroupName(g));
      return names.join(QStringLiteral("; "));
    }
    case kCounts: {
      const bool counts = choices_.IsMarked(gb.Semesters[static_cast<size_t>(r.semester)].Name) &&
                          choices_.InMask(c);
      return counts ? QStringLiteral("Yes") : QStringLiteral("No");
    }
    default:
      return {};
  }
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), column = index.column();
  if (IsNewRow(row)) {
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == kSortRole)
      return column == kSemester ? NewRowSemester() : pending_[static_cast<size_t>(column)];
    if (role == Qt::ToolTipRole && column == kClass)
      return QStringLiteral("Type a class name here to add a class");
    // The semester a new class goes to until one is typed: shown as a suggestion.
    if (role == Qt::ForegroundRole && column == kSemester && pending_[kSemester].isEmpty())
      return QPalette().brush(QPalette::PlaceholderText);
    return {};
  }
  const Ref& r = rows_[static_cast<size_t>(row)];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return Text(r, column);
    case kSortRole: {
      const Class& c = ClassOf(r);
      if (column == kCredits) return c.Credits;
      if (column == kGrade) return static_cast<int>(c.Grade);
      if (column == kGradePoints) {
        const int m = choices_.MethodIndex;
        return m < 0 ? 0.0 : doc_.Book().Methods[static_cast<size_t>(m)].GetEquiv(c.Grade);
      }
      return Text(r, column);
    }
    case Qt::ToolTipRole: {
      if (column != kCounts) {
        // Long names are elided in their cells; the tooltip shows them whole.
        const QString text = Text(r, column);
        return text.size() > 20 ? QVariant(text) : QVariant();
      }
      const std::string& semester = doc_.Book().Semesters[static_cast<size_t>(r.semester)].Name;
      if (!choices_.IsMarked(semester))
        return QStringLiteral("Not counted: the semester is not marked in the main window");
      if (!choices_.InMask(ClassOf(r)))
        return QStringLiteral("Not counted: the class is in no group of the group mask");
      return QStringLiteral(
          "Counts: its semester is marked and it is in a group of the group mask");
    }
    case Qt::TextAlignmentRole:
      if (column == kCredits || column == kGradePoints)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    default:
      return {};
  }
}

bool SheetModel::Less(int left, int right, int column) const {
  const Ref& a = rows_[static_cast<size_t>(left)];
  const Ref& b = rows_[static_cast<size_t>(right)];
  const GradeBook& gb = doc_.Book();
  // Latin letters without regard to case, then byte by byte; plain bytes are quick enough
  // for sorting a hundred thousand rows at a click.
  auto text = [](const std::string& x, const std::string& y) {
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
      const auto lx = Lower(static_cast<unsigned char>(x[i]));
      const auto ly = Lower(static_cast<unsigned char>(y[i]));
      if (lx != ly) return lx < ly;
    }
    return x.size() != y.size() ? x.size() < y.size() : x < y;
  };
  auto points = [&](const Ref& r) {
    const int m = choices_.MethodIndex;
    return m < 0 ? 0.0 : gb.Methods[static_cast<size_t>(m)].GetEquiv(ClassOf(r).Grade);
  };
  switch (column) {
    case kSemester:
      return text(gb.Semesters[static_cast<size_t>(a.semester)].Name,
                  gb.Semesters[static_cast<size_t>(b.semester)].Name);
    case kClass:
      return text(ClassOf(a).Name, ClassOf(b).Name);
    case kCredits:
      return ClassOf(a).Credits < ClassOf(b).Credits;
    case kGrade:
      return ClassOf(a).Grade < ClassOf(b).Grade;
    case kGradePoints:
      return points(a) < points(b);
    case kCounts:
      return Text(a, column) < Text(b, column);
    default:
      return Text(a, column).compare(Text(b, column), Qt::CaseInsensitive) < 0;
  }
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid()) return false;
  last_ = CommitText(index.row(), index.column(), value.toString());
  return !last_.refused;
}

SheetModel::Commit SheetModel::Run(edit::Outcome outcome, std::optional<edit::ClassRef> after) {
  const BookDocument::Result result = doc_.Run(std::move(outcome));
  Commit commit;
  commit.refused = result.refused;
  commit.reason = Q(result.status);
  if (!result.refused) commit.cls = std::move(after);
  if (!commit.reason.isEmpty()) emit Status(commit.reason);
  return commit;
}

SheetModel::Commit SheetModel::CommitText(int row, int column, const QString& text) {
  auto refuse = [this](const QString& reason) {
    Commit c;
    c.refused = true;
    c.reason = reason;
    emit Status(reason);
    return c;
  };
  if (column == kGradePoints || column == kCounts) return {};
  if (IsNewRow(row)) {
    Commit c = CommitNewRow(column, text);
    if (c.refused && !c.reason.isEmpty()) emit Status(c.reason);
    return c;
  }
  const auto cls = ClassAt(row);
  if (!cls) return refuse(QStringLiteral("That row no longer holds a class."));
  const GradeBook& gb = doc_.Book();
  const std::string typed = S(text);
  switch (column) {
    case kSemester:
      if (typed == cls->semester) return Commit{false, {}, cls};
      return Run(edit::MoveClass(gb, cls->semester, cls->cls, typed),
                 edit::ClassRef{typed, cls->cls});
    case kClass:
      if (typed == cls->cls) return Commit{false, {}, cls};
      if (typed.empty()) return refuse(QString::fromLatin1(kNoName));
      return Run(edit::RenameClass(gb, cls->semester, cls->cls, typed),
                 edit::ClassRef{cls->semester, typed});
    case kCredits: {
      const auto credits = ReadCredits(text);
      if (!credits) return refuse(QString::fromLatin1(kNoCredits));
      return Run(edit::SetCredits(gb, cls->semester, cls->cls, *credits, false), cls);
    }
    case kGrade: {
      const auto grade = ParseGradeLetter(typed);
      if (!grade) return refuse(QString::fromLatin1(kNoGrade));
      return Run(edit::SetGrade(gb, cls->semester, cls->cls, *grade), cls);
    }
    case kGroups:
      return Run(edit::SetClassGroups(gb, cls->semester, cls->cls, ReadGroups(text)), cls);
    default:
      return {};
  }
}

SheetModel::Commit SheetModel::CommitNewRow(int column, const QString& text) {
  Commit refused;
  refused.refused = true;
  const int newRow = static_cast<int>(rows_.size());
  auto keep = [&] {
    pending_[static_cast<size_t>(column)] = text;
    emit dataChanged(index(newRow, 0), index(newRow, kColumns - 1));
    return Commit{};
  };
  switch (column) {
    case kSemester:
      if (!text.isEmpty() && !IsStorableName(S(text))) {
        refused.reason = QString::fromLatin1(edit::kUnstorableName);
        return refused;
      }
      return keep();
    case kCredits:
      if (!ReadCredits(text)) {
        refused.reason = QString::fromLatin1(kNoCredits);
        return refused;
      }
      return keep();
    case kGrade:
      if (!text.trimmed().isEmpty() && !ParseGradeLetter(S(text))) {
        refused.reason = QString::fromLatin1(kNoGrade);
        return refused;
      }
      return keep();
    case kGroups:
      return keep();
    case kClass:
      break;
    default:
      return {};
  }
  if (text.isEmpty()) return {};  // nothing typed: the row stays empty
  edit::NewClass c;
  c.semester = S(NewRowSemester());
  c.name = S(text);
  if (c.semester.empty()) {
    refused.reason = QStringLiteral("Please select a semester first.");
    return refused;
  }
  const auto [defGrade, defCredits] = defaults_();
  c.grade =
      pending_[kGrade].trimmed().isEmpty() ? defGrade : *ParseGradeLetter(S(pending_[kGrade]));
  c.credits = pending_[kCredits].isEmpty() ? defCredits : *ReadCredits(pending_[kCredits]);
  c.groups = ReadGroups(pending_[kGroups]);
  if (auto why = edit::NewClassRefusal(doc_.Book(), c)) {
    refused.reason = Q(*why);
    return refused;
  }
  edit::Outcome outcome = edit::AddClasses(doc_.Book(), {c}, "Add");
  if (outcome.step) outcome.step->Name = "Add Class";
  outcome.status = "Added class " + c.name + ".";
  const auto typed = pending_;
  pending_ = {};
  Commit done = Run(std::move(outcome), edit::ClassRef{c.semester, c.name});
  if (done.refused) pending_ = typed;
  return done;
}

}  // namespace mw
