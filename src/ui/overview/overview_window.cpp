#include "ui/overview/overview_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QShowEvent>
#include <QLocale>
#include <QPrinter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/book_document.h"
#include "app/prompts.h"
#include "qtext/text.h"
#include "model/numtext.h"
#include "model/scales.h"
#include "report/report_date.h"
#include "settings/settings_store.h"
#include "ui/overview/figures_table.h"
#include "ui/overview/overview_print.h"
#include "ui/overview/overview_tables.h"
#include "ui/overview/plan_tab.h"
#include "ui/widgets/access.h"

namespace mw {

namespace {

// The settings group of the window's size and splitters.
constexpr std::string_view kSection = "Overview";


QTableView* MakeTable(QWidget* parent, const char* name, FiguresTable* model) {
  auto* view = new QTableView(parent);
  view->setObjectName(QLatin1String(name));
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setAlternatingRowColors(true);
  view->setWordWrap(false);
  view->setTextElideMode(Qt::ElideRight);
  view->verticalHeader()->hide();
  // Rows of one height, so a long table is laid out without measuring each row.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setSectionsClickable(false);
  KeepCurrentOnFocus(view);
  TipElidedEntries(view);
  return view;
}

// Column widths from the header texts and the widest figure a column is likely to hold, so
// that no column is measured over every row.
void SizeColumns(QTableView* view, const QStringList& headers, int stretch, int maxChars = 0) {
  const QFontMetrics m = view->fontMetrics();
  QFont boldFont = view->font();
  boldFont.setBold(true);
  const QFontMetrics bold(boldFont);
  QHeaderView* header = view->horizontalHeader();
  for (int c = 0; c < headers.size(); ++c) {
    if (c == stretch) {
      header->setSectionResizeMode(c, QHeaderView::Stretch);
      continue;
    }
    int w = std::max(bold.horizontalAdvance(headers[c]), bold.horizontalAdvance(QStringLiteral("000.000")));
    if (maxChars > 0) w = std::min(w, m.horizontalAdvance(QLatin1Char('x')) * maxChars);
    header->setSectionResizeMode(c, QHeaderView::Interactive);
    header->resizeSection(c, w + m.height());
  }
}

// A screen reader announces the overview as a window of its own.
QAccessibleInterface* OverviewAccessible(const QString& key, QObject* object) {
  if (key == QLatin1String("mw::OverviewWindow") && object->isWidgetType())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  return nullptr;
}

}  // namespace

OverviewWindow::OverviewWindow(BookDocument& doc, SettingsStore& settings, Prompts& prompts,
                               std::function<void(const QString&)> selectSemester,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      doc_(doc),
      settings_(settings),
      prompts_(prompts),
      selectSemester_(std::move(selectSemester)) {
  setObjectName(QStringLiteral("OverviewWindow"));
  // Every change of the book but its protection shows here; of the selection, only the
  // current semester does.
  connect(&doc_, &BookDocument::Changed, this, [this](unsigned touches) {
    if (touches != edit::kProtection) ScheduleRefresh();
  });
  connect(&doc_, &BookDocument::SelectionChanged, this, [this] {
    if (doc_.CurrentSemester() != shownSemester_) ScheduleRefresh();
  });
  setWindowTitle(QStringLiteral("GPA Overview"));
  static const bool roleKnown = (QAccessible::installFactory(OverviewAccessible), true);
  Q_UNUSED(roleKnown);
  DateText = [] { return QString::fromStdString(ReportDateTextNow()); };

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("OverviewSummary"));
  summary_->setTextFormat(Qt::PlainText);
  scope_ = new QLabel(this);
  scope_->setObjectName(QStringLiteral("OverviewScope"));
  scope_->setTextFormat(Qt::PlainText);
  scope_->setWordWrap(true);

  semesterTable_ = new FiguresTable(this);
  semesterView_ = MakeTable(this, "SemesterTable", semesterTable_);
  semesterView_->setToolTip(QString());
  semesterView_->setAccessibleName(QStringLiteral("Semesters"));
  classTable_ = new FiguresTable(this);
  classesTitle_ = new QLabel(this);
  classesTitle_->setObjectName(QStringLiteral("ClassesTitle"));
  classesTitle_->setTextFormat(Qt::PlainText);
  ElideWhenCut(classesTitle_);
  classView_ = MakeTable(this, "ClassTable", classTable_);
  classView_->setSelectionMode(QAbstractItemView::NoSelection);
  classView_->setAccessibleName(QStringLiteral("Classes of the current semester"));
  methodTable_ = new FiguresTable(this);
  methodView_ = MakeTable(this, "MethodTable", methodTable_);
  methodView_->setSelectionMode(QAbstractItemView::NoSelection);
  methodView_->setAccessibleName(QStringLiteral("GPA under every grading method"));

  chartView_ = new QChartView(chart_.Chart(), this);  // the view owns the chart
  chartView_->setObjectName(QStringLiteral("TrendChartView"));
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setMinimumSize(320, 240);
  chartView_->setAccessibleName(QStringLiteral("GPA trend chart"));
  chartView_->setAccessibleDescription(
      QStringLiteral("A bar for each semester's GPA, from the first semester to the last, and a "
                     "line for the cumulative GPA down the list. The Semesters table gives the "
                     "same figures."));
  chart_.UsePalette(palette());

  auto* classesPane = new QWidget(this);
  auto* classesLayout = new QVBoxLayout(classesPane);
  classesLayout->setContentsMargins(0, 0, 0, 0);
  classesLayout->addWidget(classesTitle_);
  classesLayout->addWidget(classView_);

  detailSplitter_ = new QSplitter(Qt::Vertical, this);
  detailSplitter_->setObjectName(QStringLiteral("DetailSplitter"));
  detailSplitter_->addWidget(semesterView_);
  detailSplitter_->addWidget(classesPane);
  detailSplitter_->setChildrenCollapsible(false);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("OverviewTabs"));
  tabs_->addTab(chartView_, QStringLiteral("&Trend"));
  tabs_->addTab(methodView_, QStringLiteral("&Methods Compared"));
  plan_ = new PlanTab(doc_.Book(), settings_, prompts_, this);
  plan_->RunStep = [this](edit::Outcome outcome) { return doc_.Run(std::move(outcome)).changed; };
  tabs_->addTab(plan_, QStringLiteral("Pla&n"));
  connect(plan_, &PlanTab::ChartChanged, this, [this] {
    chart_.SetPlan(plan_->ChartPoint());
    chart_.Show(figures_);
  });

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("OverviewSplitter"));
  splitter_->addWidget(detailSplitter_);
  splitter_->addWidget(tabs_);
  splitter_->setChildrenCollapsible(false);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({540, 460});

  auto button = [this](const char* name, const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
  };
  saveChart_ = button("SaveChart", QStringLiteral("&Save Chart As..."),
                      QStringLiteral("Save the chart as a PNG picture or an SVG drawing"));
  exportPdf_ = button("ExportPdf", QStringLiteral("E&xport PDF..."),
                      QStringLiteral("Save the table, the chart and the date as a PDF file"));
  print_ = button("PrintOverview", QStringLiteral("&Print..."),
                  QStringLiteral("Print the table, the chart and the date"));
  close_ = button("CloseOverview", QStringLiteral("Close"), QStringLiteral("Close the overview"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(saveChart_);
  buttons->addWidget(exportPdf_);
  buttons->addWidget(print_);
  buttons->addStretch(1);
  buttons->addWidget(close_);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(summary_);
  outer->addWidget(scope_);
  outer->addWidget(splitter_, 1);
  outer->addLayout(buttons);

  semesterTable_->Set(SemesterHeaders(), {}, {}, kSemesterNumbersFrom);
  classTable_->Set(ClassHeaders(), {}, {}, 2, 4);
  SizeColumns(semesterView_, SemesterHeaders(), 1);
  SizeColumns(classView_, ClassHeaders(), 0);

  connect(saveChart_, &QPushButton::clicked, this, [this] { SaveChart_Click(); });
  connect(exportPdf_, &QPushButton::clicked, this, [this] { ExportPdf_Click(); });
  connect(print_, &QPushButton::clicked, this, [this] { Print_Click(); });
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  connect(semesterView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { OnSemesterRowChanged(current.row()); });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);

  // The chart shows once its tab has laid out its page: shown with the window, it would take a
  // passing size first and lay out its bars and line twice.
  chartView_->hide();

  QSize size(980, 620);
  if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size());
  resize(size);
  RestoreLayout();
  Refresh();
}

OverviewWindow::~OverviewWindow() { SaveLayout(); }

void OverviewWindow::ScheduleRefresh() {
  stale_ = true;
  if (!isVisible() || pending_) return;
  pending_ = true;
  QTimer::singleShot(0, this, [this] {
    pending_ = false;
    if (stale_ && isVisible()) Refresh();
  });
}

void OverviewWindow::Refresh() {
  stale_ = false;
  shownSemester_ = doc_.CurrentSemester();
  figures_ = ComputeFigures(doc_.Book(), {}, FigureMethods::Rows);
  compared_.reset();
  const QScopedValueRollback syncing(syncing_, true);
  const QString method =
      figures_.MethodIndex >= 0 ? Q(figures_.MethodName) : QStringLiteral("(none)");
  // However long the method's name, the line keeps the window's width: it is cut short, and
  // given in full in the tooltip.
  const QString shown = summary_->fontMetrics().elidedText(
      method, Qt::ElideRight, summary_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
  summary_->setToolTip(shown == method ? QString() : method);
  summary_->setText(QStringLiteral("Grading method: ") + shown +
                    QStringLiteral("     Overall GPA: ") + Q(figures_.OverallText) +
                    QLatin1Char(' ') + Q(figures_.CountCaption) + QLatin1Char(' ') +
                    Q(figures_.CountTooltip));

  // Which groups count, whenever that is not everything, and how the method counts A+ (or
  // whatever differs first) when that is not the usual rule.
  QStringList scope;
  QStringList counted;
  for (const auto& g : doc_.Book().GroupNames)
    if (g.InMask) counted << Q(g.Name);
  if (counted != QStringList{QStringLiteral("Everything")})
    scope << QStringLiteral("Counting: ") +
                 (counted.isEmpty() ? QStringLiteral("no group") : counted.join(QStringLiteral(", ")));
  if (figures_.MethodIndex >= 0)
    if (const std::string note = MethodNote(doc_.Book().Methods[size_t(figures_.MethodIndex)]); !note.empty())
      scope << Q(note);
  scope_->setText(scope.join(QStringLiteral("     ")));
  scope_->setVisible(!scope.isEmpty());

  const int rows = static_cast<int>(figures_.Rows.size()) + 1;  // and the overall row
  semesterTable_->Set(SemesterHeaders(), SemesterHeaderTips(), rows,
                      [this](size_t i) { return SemesterRowAt(figures_, i); }, kSemesterNumbersFrom);

  // Every method's figures take a pass of their own, made only when their table shows a row.
  const QStringList methodHeaders = MethodHeaders(doc_.Book().Methods, figures_.MethodIndex);
  QStringList methodTips{QString()};
  for (const Method& m : doc_.Book().Methods) methodTips << Q(m.Name);
  const bool newColumns = methodHeaders != methodHeaders_;
  methodTable_->Set(methodHeaders, methodTips, rows,
                    [this](size_t i) { return MethodRowAt(Compared(), i); }, 1, -1,
                    figures_.MethodIndex >= 0 ? figures_.MethodIndex + 1 : -1);
  if (newColumns) {
    SizeColumns(methodView_, methodHeaders, -1, 22);
    methodHeaders_ = methodHeaders;
  }

  plan_->Refresh(figures_);  // shows the chart with the plan

  // The current semester of the main window is the selected row.
  int row = -1;
  if (doc_.CurrentSemester())
    for (size_t i = 0; i < figures_.Rows.size(); ++i)
      if (figures_.Rows[i].Name == *doc_.CurrentSemester()) {
        row = static_cast<int>(i);
        break;
      }
  if (row >= 0) {
    semesterView_->selectionModel()->setCurrentIndex(
        semesterTable_->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    semesterView_->selectionModel()->clear();
  }
  ShowClasses();
}

const BookFigures& OverviewWindow::Compared() {
  if (!compared_) compared_ = ComputeFigures(doc_.Book(), {}, FigureMethods::All);
  return *compared_;
}

void OverviewWindow::ShowClasses() {
  if (!doc_.CurrentSemester()) {
    classesTitle_->setText(QStringLiteral("Select a semester to see which of its classes count."));
    classTable_->Set(ClassHeaders(), {}, {}, 2, 4);
    return;
  }
  const std::string& name = *doc_.CurrentSemester();
  const SemesterRow* row = figures_.Row(name);
  const bool marked = row && row->Marked;
  classesTitle_->setText(QStringLiteral("Classes of ") + Q(name) +
                         (marked ? QString() : QStringLiteral(" (not marked: none counts)")));
  classTable_->Set(ClassHeaders(), {}, ClassRows(ClassDetails(doc_.Book(), name), marked), 2, 4);
}

void OverviewWindow::OnSemesterRowChanged(int row) {
  if (syncing_ || row < 0 || row >= static_cast<int>(figures_.Rows.size())) return;
  if (selectSemester_) selectSemester_(Q(figures_.Rows[static_cast<size_t>(row)].Name));
}

void OverviewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The splitters take their divisions once they have their final size.
  if (!shownBefore_) {
    shownBefore_ = true;
    layout()->activate();
    RestoreSplitters();
    // The window with its frame stays within the screen.
    if (const QScreen* s = screen())
      resize(size().boundedTo(s->availableGeometry().size() - (frameGeometry().size() - size())));
    if (tabs_->currentWidget() == chartView_) chartView_->show();
  }
  if (stale_) Refresh();
}

void OverviewWindow::closeEvent(QCloseEvent* event) {
  SaveLayout();
  QWidget::closeEvent(event);
}

void OverviewWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) chart_.UsePalette(palette());
  QWidget::changeEvent(event);
}

void OverviewWindow::SaveLayout() {
  settings_.WriteSetting(kSection, "Width", std::to_string(width()));
  settings_.WriteSetting(kSection, "Height", std::to_string(height()));
  settings_.WriteSetting(kSection, "Splitter", splitter_->saveState().toBase64().toStdString());
  settings_.WriteSetting(kSection, "DetailSplitter",
                         detailSplitter_->saveState().toBase64().toStdString());
}

void OverviewWindow::RestoreLayout() {
  const int w = static_cast<int>(LeadingNumber(settings_.ReadSetting(kSection, "Width", "0")));
  const int h = static_cast<int>(LeadingNumber(settings_.ReadSetting(kSection, "Height", "0")));
  if (w > 0 && h > 0) {
    QSize size(w, h);
    // Never larger than the screen it opens on.
    if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size());
    resize(size.expandedTo(minimumSizeHint()));
  }
}

void OverviewWindow::RestoreSplitters() {
  auto restore = [this](QSplitter* splitter, const char* key) {
    const std::string text = settings_.ReadSetting(kSection, key, "");
    if (!text.empty()) splitter->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(text)));
  };
  restore(splitter_, "Splitter");
  restore(detailSplitter_, "DetailSplitter");
}

bool OverviewWindow::SaveChart_Click() {
  Prompts::FileDialog request;
  request.title = QStringLiteral("Save Chart As");
  request.filters = {QStringLiteral("PNG Pictures (*.png)"), QStringLiteral("SVG Drawings (*.svg)")};
  request.defaultSuffix = QStringLiteral("png");
  request.confirmOverwrite = true;
  const QString path = prompts_.SaveFileName(request);
  if (path.isEmpty()) return false;
  if (stale_) Refresh();
  if (!SaveChartPicture(chartView_, path)) {
    prompts_.Message(QStringLiteral("Error saving to file \"") + path + QStringLiteral("\"! (Read-only?)"),
                     QStringLiteral("Error!"), Prompts::Icon::Critical);
    return false;
  }
  return true;
}

bool OverviewWindow::PrintTo(QPrinter& printer) {
  if (stale_) Refresh();
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  if (PrintOverview(printer, figures_, Q(doc_.Book().FileName), DateText ? DateText() : QString()))
    return true;
  prompts_.Message(toFile ? QStringLiteral("Error saving to file \"") + printer.outputFileName() +
                                QStringLiteral("\"! (Read-only?)")
                          : QStringLiteral("Error printing to \"") + printer.printerName() +
                                QStringLiteral("\"!"),
                   QStringLiteral("Error!"), Prompts::Icon::Critical);
  return false;
}

bool OverviewWindow::ExportPdf_Click() {
  Prompts::FileDialog request;
  request.title = QStringLiteral("Export Overview as PDF");
  request.filters = {QStringLiteral("PDF Files (*.pdf)")};
  request.defaultSuffix = QStringLiteral("pdf");
  request.confirmOverwrite = true;
  const QString path = prompts_.SaveFileName(request);
  if (path.isEmpty()) return false;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setDocName(QStringLiteral("GPA Overview"));
  printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  return PrintTo(printer);
}

bool OverviewWindow::Print_Click() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("GPA Overview"));
  printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  if (!prompts_.SetUpPrinter(printer, QStringLiteral("Print GPA Overview"))) return false;
  return PrintTo(printer);
}

}  // namespace mw
