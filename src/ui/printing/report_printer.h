#pragma once
// Printing the grade report: the text the export writes, line for line, in a fixed-pitch font.
#include <QString>
#include <QStringList>
#include <string>

class QPrinter;

namespace mw {

// The lines of a report (UTF-8, lines ended by CR LF), without their line ends.
QStringList ReportLines(const std::string& report);

// Prints the lines on as many pages as they need, each page holding whole lines only. The
// font is fixed-pitch, 10 points, smaller when the longest line would not fit the page's
// width (down to 6 points). False when the printer could not be started.
bool PrintReportLines(QPrinter& printer, const QStringList& lines);

}  // namespace mw
