#pragma once
// Prompts answered from a script, recording every question asked.
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "app/prompts.h"

// Texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace mw::test {

struct Asked {
  QString kind;   // "input", "yesno", "savechanges", "message", "open", "save", "password", "print",
                  // "preview", "reading", "choose"
  QString text;   // prompt, message text, dialog title, or the password mode as text
  QString title{};  // title (input, yes/no, message), file name (password)
  QString defaultText{};  // input default, file dialog initial path
  Prompts::Icon icon = Prompts::Icon::None;
  bool defaultYes = true;  // yes/no: the button Enter presses
};

class ScriptedPrompts : public Prompts {
 public:
  // Answers, consumed in order by the questions of their kind.
  std::deque<QString> inputs;                    // InputBox answers
  std::deque<bool> yesNo;                        // AskYesNo answers
  std::deque<SaveChoice> saveChanges;            // AskSaveChanges answers
  std::deque<QString> files;                     // OpenFileName / SaveFileName answers
  std::deque<std::optional<QString>> passwords;  // GetPassword answers
  std::deque<int> choices;  // ChooseItem answers: a position, -1 cancels
  // PreviewClasses answers: the mapping to add with, nothing cancels; an empty script accepts
  // the preview's own mapping. The plans shown are kept in previews.
  std::deque<std::optional<table::ColumnMapping>> previewAnswers;
  std::vector<table::ImportPlan> previews;
  std::deque<QString> printFiles;  // SetUpPrinter answers: a PDF file to print to, empty cancels
  std::deque<std::optional<int>> readings;  // ChooseReading answers
  std::vector<Asked> asked;

  QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override {
    return Ask({"input", prompt, title, defaultText}, inputs);
  }
  bool AskYesNo(const QString& text, const QString& title, bool defaultYes = true) override {
    return Ask({"yesno", text, title, {}, Icon::None, defaultYes}, yesNo);
  }
  SaveChoice AskSaveChanges(const QString& text) override { return Ask({"savechanges", text}, saveChanges); }
  void Message(const QString& text, const QString& title, Icon icon) override {
    asked.push_back({"message", text, title, {}, icon});
  }
  QString OpenFileName(const FileDialog& d) override {
    return Ask({"open", d.title, d.filters.join(";;"), d.initialPath}, files);
  }
  QString SaveFileName(const FileDialog& d) override {
    return Ask({"save", d.title, d.filters.join(";;"), d.initialPath}, files);
  }
  std::optional<QString> GetPassword(PromptMode mode, const QString& fileName) override {
    return Ask({"password", QString::number(static_cast<int>(mode)), fileName}, passwords);
  }
  std::optional<table::ColumnMapping> PreviewClasses(const ClassesPreview& p) override {
    asked.push_back({"preview", p.title, p.acceptText});
    previews.push_back(p.plan(p.mapping));
    return previewAnswers.empty() ? p.mapping : Ask({}, previewAnswers, false);
  }
  std::optional<int> ChooseReading(const QString& question, const QStringList& readings) override {
    return Ask({"reading", question, readings.join("|")}, this->readings);
  }
  bool SetUpPrinter(QPrinter& printer, const QString& title) override {
    const QString file = Ask({"print", title}, printFiles);
    if (file.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
  }
  int ChooseItem(const QString& prompt, const QString& title, const QStringList& items, const QStringList&) override {
    return Ask({"choose", prompt, title, items.join(QLatin1Char('\n'))}, choices);
  }

  // The messages shown, in order.
  QStringList messages() const {
    QStringList out;
    for (const auto& a : asked)
      if (a.kind == "message") out << a.text;
    return out;
  }

 private:
  // Records the question (unless `record` is false) and takes the next scripted answer of its
  // kind; a question without one is a test fault.
  template <typename T>
  T Ask(Asked question, std::deque<T>& answers, bool record = true) {
    if (record) asked.push_back(question);
    if (answers.empty()) throw std::runtime_error("unscripted " + question.kind.toStdString() + " question");
    T v = answers.front();
    answers.pop_front();
    return v;
  }
};

}  // namespace mw::test
