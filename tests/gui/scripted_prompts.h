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
                  // "preview", "reading"
  QString text;   // prompt, message text, dialog title, or the password mode as text
  QString title;  // title (input, yes/no, message), file name (password)
  QString defaultText;  // input default, file dialog initial path
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

  QString InputBox(const QString& prompt, const QString& title,
                   const QString& defaultText) override {
    asked.push_back({"input", prompt, title, defaultText});
    return take(inputs, "input");
  }
  bool AskYesNo(const QString& text, const QString& title, bool defaultYes = true) override {
    asked.push_back({"yesno", text, title, {}, Icon::None, defaultYes});
    return take(yesNo, "yes/no");
  }
  SaveChoice AskSaveChanges(const QString& text) override {
    asked.push_back({"savechanges", text, {}, {}});
    return take(saveChanges, "save changes");
  }
  void Message(const QString& text, const QString& title, Icon icon) override {
    asked.push_back({"message", text, title, {}, icon});
  }
  QString OpenFileName(const FileDialog& d) override {
    asked.push_back({"open", d.title, d.filters.join(";;"), d.initialPath});
    return take(files, "open file");
  }
  QString SaveFileName(const FileDialog& d) override {
    asked.push_back({"save", d.title, d.filters.join(";;"), d.initialPath});
    return take(files, "save file");
  }
  std::optional<QString> GetPassword(PromptMode mode, const QString& fileName) override {
    asked.push_back({"password", QString::number(static_cast<int>(mode)), fileName, {}});
    return take(passwords, "password");
  }
  std::optional<table::ColumnMapping> PreviewClasses(const ClassesPreview& p) override {
    asked.push_back({"preview", p.title, p.acceptText, {}});
    previews.push_back(p.plan(p.mapping));
    if (previewAnswers.empty()) return p.mapping;
    auto answer = previewAnswers.front();
    previewAnswers.pop_front();
    return answer;
  }
  std::optional<int> ChooseReading(const QString& question, const QStringList& readings) override {
    asked.push_back({"reading", question, readings.join("|"), {}});
    return take(this->readings, "reading");
  }
  bool SetUpPrinter(QPrinter& printer, const QString& title) override {
    asked.push_back({"print", title, {}, {}});
    const QString file = take(printFiles, "print");
    if (file.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
  }

  int ChooseItem(const QString& prompt, const QString& title, const QStringList& items,
                 const QStringList&) override {
    asked.push_back({"choose", prompt, title, items.join(QLatin1Char('\n'))});
    return take(choices, "choice");
  }

  // The messages shown, in order.
  QStringList messages() const {
    QStringList out;
    for (const auto& a : asked)
      if (a.kind == "message") out << a.text;
    return out;
  }

 private:
  template <typename T>
  static T take(std::deque<T>& q, const char* what) {
    if (q.empty()) throw std::runtime_error(std::string("unscripted ") + what + " question");
    T v = q.front();
    q.pop_front();
    return v;
  }
};

}  // namespace mw::test
