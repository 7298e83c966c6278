// The main window: its controls, menus, status line, the refresh of the figures, the fresh
// grade book and the dialog openers.
#include "ui/main_window/main_screen.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QScopedValueRollback>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QCloseEvent>
#include <QUndoStack>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QStatusBar>
#include <QSvgRenderer>
#include <algorithm>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "edit/edit.h"
#include "model/gpa.h"
#include "model/method.h"
#include "model/numtext.h"
#include "model/predict.h"
#include "settings/new_book_method.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/dialogs/export_file_dialog.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/dialogs/qt_prompts.h"
#include "ui/main_window/main_screen_util.h"
#include "ui/overview/overview_window.h"
#include "ui/widgets/access.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/input_guards.h"

namespace mw {

using main_window::Q;
using main_window::ClassListItem;

namespace {

// Renders an SVG of the resources at the given logical size, sharp on the screen's pixels.
QPixmap RenderSvg(const QString& path, QSize size, qreal ratio) {
  QPixmap pm(size * ratio);
  pm.setDevicePixelRatio(ratio);
  pm.fill(Qt::transparent);
  QSvgRenderer renderer(path);
  QPainter p(&pm);
  renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
  return pm;
}

}  // namespace

MainScreen::MainScreen(SettingsStore& settings, Prompts* prompts, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      ownedPrompts_(prompts ? nullptr : std::make_unique<QtPrompts>(this)),
      prompts_(prompts ? prompts : ownedPrompts_.get()),
      files_(gb_, *prompts_, settings_, *this) {
  setObjectName(QStringLiteral("MainScreen"));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    scale_ = std::max(0.5, screen->logicalDotsPerInchX() / 96.0);

  undo_ = new QUndoStack(this);
  // Each step keeps only what it changed; the history still keeps the last steps only.
  undo_->setUndoLimit(kUndoLimit);
  connect(undo_, &QUndoStack::cleanChanged, this, [this](bool clean) { setWindowModified(!clean); });
  BuildControls();
  BuildMenus();
  SetTabOrder();
  FitFont();
  ConnectSignals();

  SetCaption(QStringLiteral("Markwell"));
  setWindowIcon(QIcon(RenderSvg(QStringLiteral(":/markwell/icon.svg"), QSize(64, 64), 1.0)));
  // A fixed single-line border with a minimise box and no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  statusBar()->setSizeGripEnabled(false);
  setFixedSize(sizeHint());
}

MainScreen::~MainScreen() = default;

int MainScreen::Px(int twips) const { return qRound(twips * scale_ / 15.0); }

QRect MainScreen::Tw(int left, int top, int width, int height) const {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

void MainScreen::BuildControls() {
  central_ = new QWidget(this);
  central_->setObjectName(QStringLiteral("ClientArea"));
  central_->setFixedSize(Px(8070), Px(5325));
  setCentralWidget(central_);

  // The controls in the order they are made, each with its place in twips (left, top, width,
  // height), its caption, tooltip and accessible name. The member's type is the control's.
  using Member = std::variant<QLabel* MainScreen::*, QPushButton* MainScreen::*,
                              QListWidget* MainScreen::*, QComboBox* MainScreen::*,
                              QLineEdit* MainScreen::*, QGroupBox* MainScreen::*>;
  struct Control {
    Member member;
    const char* name;
    int left, top, width, height;
    const char* caption = "";
    const char* tip = "";
    const char* accessible = "";
    bool inFrame = false;  // a button of the "Markwell Commands" frame
  };
  static const char* const kOverallTip = "Overall GPA of all classes in selected groups";
  static const char* const kSemTip = "GPA of classes in selected semester which are in the group mask";
  static const Control kControls[] = {
      {&MainScreen::Label1, "Label1", 240, 120, 1575, 255, "Semester:"},
      {&MainScreen::SemesterList, "SemesterList", 240, 480, 2295, 1860, "",
       "Select a semester; Delete key to delete; Double-click to rename; +, - to move", "Semester"},
      {&MainScreen::Label4, "Label4", 240, 2400, 855, 255, "Select:"},
      {&MainScreen::SemSelAll, "SemSelAll", 1080, 2400, 735, 255, "All", "Select all semesters",
       "Select all semesters"},
      {&MainScreen::SemSelNone, "SemSelNone", 1800, 2400, 735, 255, "None",
       "Deselect all semesters", "Deselect all semesters"},
      {&MainScreen::AddSemesterButton, "AddSemesterButton", 240, 2640, 2295, 255,
       "Add &Semester...", "Adds a new semester"},
      {&MainScreen::ClassListTitle, "ClassListTitle", 2880, 120, 2295, 375, "Class:"},
      {&MainScreen::ClassList, "ClassList", 2880, 480, 2295, 2010, "",
       "Select a class; Delete key to delete; Double-click to rename", "Classes"},
      {&MainScreen::AddClassButton, "AddClassButton", 2880, 2640, 2295, 255, "Add &Class...",
       "Adds a new class to semester"},
      {&MainScreen::ClassName, "ClassName", 5520, 120, 2415, 375},
      {&MainScreen::Label3, "Label3", 5520, 480, 495, 255, "Grade:"},
      {&MainScreen::ClassGPABox, "ClassGPABox", 6360, 480, 495, 255, "",
       "The numerical equivalent of the letter grade"},
      {&MainScreen::GradeListBox, "GradeListBox", 7080, 480, 735, 315, "",
       "Select the grade for the current class", "Grade"},
      {&MainScreen::Label2, "Label2", 5520, 840, 735, 255, "Credits:"},
      {&MainScreen::CreditsBox, "CreditsBox", 7320, 840, 495, 285, "",
       "Enter the number of credits for this class", "Credits"},
      {&MainScreen::Label6, "Label6", 5520, 1200, 1575, 255, "Member of Groups:"},
      {&MainScreen::MemberGroup, "MemberGroup", 5520, 1440, 2295, 1035, "",
       "Select the groups under which you want this class to fall; Delete key to delete a "
       "group; Double-click to rename",
       "Member of Groups"},
      {&MainScreen::AddGroup, "AddGroup", 5520, 2640, 2295, 255, "Add &Group...",
       "Adds a new masking group"},
      {&MainScreen::Label7, "Label7", 240, 3000, 1815, 255, "Overall GPA:", kOverallTip},
      {&MainScreen::OverallGPABox, "OverallGPABox", 1920, 3000, 615, 255, "", kOverallTip},
      {&MainScreen::Label5, "Label5", 2880, 3000, 1455, 255, "Semester GPA:", kSemTip},
      {&MainScreen::SemGPABox, "SemGPABox", 4560, 3000, 615, 255, "", kSemTip},
      // A click opens the About box; the Help menu is the keyboard's way there.
      {&MainScreen::Picture1, "Picture1", 5520, 3000, 2295, 495, "", "", "Markwell, about"},
      {&MainScreen::Label8, "Label8", 240, 3360, 1215, 255, "Consider Groups:"},
      {&MainScreen::NumGroupMask, "NumGroupMask", 1560, 3360, 975, 255},
      {&MainScreen::GroupList, "GroupList", 240, 3600, 2295, 1230, "",
       "Group mask; select groups you want to include in GPA calculation; Ctrl-click to "
       "mulit-select",
       "Consider Groups"},
      {&MainScreen::Label9, "Label9", 2880, 3360, 1455, 255, "Grading Method:"},
      {&MainScreen::MethodList, "MethodList", 2880, 3600, 2295, 315, "",
       "Change the method to change the numerical equivalents of letter grades",
       "Grading Method"},
      {&MainScreen::AddMethod, "AddMethod", 2880, 3960, 2295, 255, "Add/Edit &Methods...",
       "Add, edit or remove methods"},
      {&MainScreen::Label10, "Label10", 2880, 4320, 1095, 255, "Desired GPA:"},
      {&MainScreen::DesiredGPABox, "DesiredGPABox", 4080, 4320, 495, 285, "",
       "Enter the GPA you want to achieve here", "Desired GPA"},
      {&MainScreen::Label11, "Label11", 2880, 4680, 1095, 255, "Classes Left:"},
      {&MainScreen::ClassesLeftBox, "ClassesLeftBox", 4080, 4680, 495, 285, "",
       "Enter how many classes you have left here", "Classes Left"},
      {&MainScreen::PredictGo, "PredictGo", 4680, 4320, 495, 615, "Go!",
       "Let Markwell figure out the necessary GPA for your remaining classes"},
      {&MainScreen::Frame1, "Frame1", 5520, 3600, 2295, 1335, "Markwell Commands",
       "Quits Markwell"},
      {&MainScreen::SaveButton, "SaveButton", 240, 240, 1815, 255, "S&ave File",
       "Saves current Markwell file (Ctrl-s or Alt-a)", "", true},
      {&MainScreen::LoadButton, "LoadButton", 240, 600, 1815, 255, "&Load File",
       "Loads a previusly saved Markwell File (Ctrl-L or Alt-L)", "", true},
      {&MainScreen::OptionsButton, "OptionsButton", 240, 960, 1815, 255, "&Options",
       "Displays the Markwell Options screen (Alt-O)", "", true},
  };
  for (const Control& c : kControls) {
    std::visit(
        [&](auto member) {
          using W = std::remove_pointer_t<std::remove_reference_t<decltype(this->*member)>>;
          auto* w = new W(c.inFrame ? Frame1 : central_);
          this->*member = w;
          w->setObjectName(QLatin1String(c.name));
          w->setGeometry(Tw(c.left, c.top, c.width, c.height));
          w->setToolTip(QString::fromUtf8(c.tip));
          w->setAccessibleName(QString::fromUtf8(c.accessible));
          const QString caption = QString::fromUtf8(c.caption);
          if constexpr (std::is_same_v<W, QLabel>) {
            w->setText(caption);
            w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
          } else if constexpr (std::is_same_v<W, QPushButton>) {
            w->setText(caption);
            w->setAutoDefault(false);
          } else if constexpr (std::is_same_v<W, QGroupBox>) {
            w->setTitle(caption);
          } else if constexpr (std::is_same_v<W, QListWidget>) {
            w->setUniformItemSizes(true);
            w->installEventFilter(this);
            KeepCurrentOnFocus(w);
            TipElidedEntries(w);
          } else if constexpr (std::is_same_v<W, QComboBox>) {
            w->setEditable(false);
            GuardWheel(w);
          }
        },
        c.member);
  }

  SemesterList->setSelectionMode(QAbstractItemView::SingleSelection);
  ClassList->setSelectionMode(QAbstractItemView::SingleSelection);
  ClassList->setSortingEnabled(true);
  MemberGroup->setSelectionMode(QAbstractItemView::MultiSelection);
  MemberGroup->viewport()->installEventFilter(this);
  GroupList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  KeepSelectionOnEmptyClicks(GroupList);
  MethodList->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
  // Clicking the "Credits:" label puts the text cursor into the credits box; Alt+O is shared.
  Label2->installEventFilter(this);
  OptionsButton->installEventFilter(this);

  // Each list, box and field is labelled by the caption beside it, and each figure by its
  // caption, with what it counts as description. (The class list's title is a semester's
  // name, whose "&" a label with a buddy would take for a shortcut; the list has its name.)
  for (auto [caption, control] :
       {std::pair<QLabel*, QWidget*>{Label1, SemesterList}, {Label3, GradeListBox},
        {Label2, CreditsBox}, {Label6, MemberGroup}, {Label8, GroupList}, {Label9, MethodList},
        {Label10, DesiredGPABox}, {Label11, ClassesLeftBox}, {Label7, OverallGPABox},
        {Label5, SemGPABox}})
    caption->setBuddy(control);
  for (QLabel* figure : {ClassGPABox, OverallGPABox, SemGPABox}) {
    figure->setAccessibleDescription(figure->toolTip());
    DrawInReadableHighlight(figure);
  }

  Picture1->setAlignment(Qt::AlignCenter);
  Picture1->setPixmap(RenderSvg(QStringLiteral(":/markwell/logo.svg"),
                                QSize(qRound(153 * scale_), qRound(33 * scale_)),
                                devicePixelRatioF()));
  Picture1->setCursor(Qt::PointingHandCursor);
  Picture1->installEventFilter(this);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setToolTip(QStringLiteral("The status bar keeps you updated on what Markwell is doing"));
  statusLabel_ = new ElidedLabel(bar);
  statusLabel_->setObjectName(QStringLiteral("StatusText"));
  bar->addPermanentWidget(statusLabel_, 1);

  // Names typed by the user are shown as they are, never as markup.
  for (QLabel* l : {ClassListTitle, ClassName, NumGroupMask, ClassGPABox, OverallGPABox,
                    SemGPABox})
    l->setTextFormat(Qt::PlainText);
  // Long semester and class names are cut short, and given in full as tooltips.
  ElideWhenCut(ClassListTitle);
  ElideWhenCut(ClassName);
}

void MainScreen::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File"));
  auto item = [this](QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& key, void (MainScreen::*slot)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    return a;
  };
  QAction* save = file->addAction(QStringLiteral("&Save"));
  save->setObjectName(QStringLiteral("Save"));
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(save, &QAction::triggered, this, [this] { files_.Save(); });
  QAction* saveAs = file->addAction(QStringLiteral("Save &As"));
  saveAs->setObjectName(QStringLiteral("SaveAs"));
  connect(saveAs, &QAction::triggered, this, [this] { files_.SaveAs(); });
  QAction* load = file->addAction(QStringLiteral("&Load"));
  load->setObjectName(QStringLiteral("Load"));
  load->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  connect(load, &QAction::triggered, this, [this] { Load_Click(); });
  item(file, "New", QStringLiteral("&New"), QKeySequence(), &MainScreen::New_Click);
  file->addSeparator();
  item(file, "PrintExport", QStringLiteral("&Print/Export Grades"),
       QKeySequence(Qt::CTRL | Qt::Key_P), &MainScreen::PrintExport_Click);
  file->addSeparator();
  item(file, "Quit", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
       &MainScreen::Quit_Click);

  QMenu* editMenu = bar->addMenu(QStringLiteral("&Edit"));
  editMenu->setObjectName(QStringLiteral("EditMenu"));
  QAction* undo = undo_->createUndoAction(this, QStringLiteral("&Undo"));
  undo->setObjectName(QStringLiteral("Undo"));
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  QAction* redo = undo_->createRedoAction(this, QStringLiteral("&Redo"));
  redo->setObjectName(QStringLiteral("Redo"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                      QKeySequence(Qt::CTRL | Qt::Key_Y)});
  editMenu->addAction(undo);
  editMenu->addAction(redo);

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("ViewBar"));
  item(view, "Overview", QStringLiteral("GPA &Overview..."), QKeySequence(Qt::CTRL | Qt::Key_G),
       &MainScreen::Overview_Click);

  QAction* options = bar->addAction(QStringLiteral("&Options"));
  options->setObjectName(QStringLiteral("Options"));
  connect(options, &QAction::triggered, this, [this] { Options_Click(); });

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("HelpBar"));
  item(help, "Help", QStringLiteral("&Help"), QKeySequence(), &MainScreen::Help_Click);
  help->addSeparator();
  item(help, "About", QStringLiteral("&About Markwell"), QKeySequence(),
       &MainScreen::About_Click);
}

void MainScreen::SetTabOrder() {
  // The focusable controls by their tab index.
  const std::vector<QWidget*> order = {
      SemesterList,   AddSemesterButton, ClassList, AddClassButton, GradeListBox,
      CreditsBox,     MemberGroup,       AddGroup,  GroupList,      MethodList,
      AddMethod,      DesiredGPABox,     ClassesLeftBox, PredictGo, SaveButton,
      LoadButton,     OptionsButton,     SemSelAll, SemSelNone};
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void MainScreen::FitFont() {
  // The largest font, from 8 points down, at which every caption fits its control.
  struct Caption {
    QWidget* w;
    QString text;
    int padding;
  };
  std::vector<Caption> captions;
  for (QLabel* l : central_->findChildren<QLabel*>())
    if (!l->text().isEmpty()) captions.push_back({l, l->text(), 0});
  for (QPushButton* b : central_->findChildren<QPushButton*>())
    captions.push_back({b, b->text(), 8});
  // The value displays must hold their widest figures too.
  captions.push_back({OverallGPABox, QStringLiteral("10.888"), 0});
  captions.push_back({SemGPABox, QStringLiteral("10.888"), 0});
  captions.push_back({ClassGPABox, QStringLiteral("10.88"), 0});
  captions.push_back({NumGroupMask, QStringLiteral("(888 classes)"), 0});

  QFont font = QApplication::font();
  for (double pt = 8.0; pt >= 5.0; pt -= 0.25) {
    font.setPointSizeF(pt);
    const QFontMetrics fm(font);
    bool fits = true;
    for (const Caption& c : captions) {
      QString shown = c.text;
      shown.remove(QLatin1Char('&'));
      const int width = fm.horizontalAdvance(shown) + c.padding;
      if (width > c.w->width() || fm.height() > c.w->height()) {
        fits = false;
        break;
      }
    }
    if (fits) break;
  }
  setFont(font);
}

void MainScreen::ConnectSignals() {
  connect(SemesterList, &QListWidget::currentItemChanged, this,
          [this] { OnSemesterCurrentChanged(); });
  connect(SemesterList, &QListWidget::itemChanged, this,
          [this](QListWidgetItem* item) { OnSemesterItemChanged(item); });
  connect(SemesterList, &QListWidget::itemDoubleClicked, this,
          [this] { SemesterList_DblClick(); });
  connect(AddSemesterButton, &QPushButton::clicked, this, [this] { AddSemesterButton_Click(); });
  connect(SemSelAll, &QPushButton::clicked, this, [this] { SemSelAll_Click(); });
  connect(SemSelNone, &QPushButton::clicked, this, [this] { SemSelNone_Click(); });

  connect(ClassList, &QListWidget::currentItemChanged, this,
          [this] { OnClassCurrentChanged(); });
  connect(ClassList, &QListWidget::itemDoubleClicked, this, [this] { ClassList_DblClick(); });
  connect(AddClassButton, &QPushButton::clicked, this, [this] { AddClassButton_Click(); });
  connect(GradeListBox, &QComboBox::currentIndexChanged, this,
          [this](int index) { OnGradeIndexChanged(index); });
  connect(CreditsBox, &QLineEdit::textChanged, this, [this] { CreditsBox_Change(); });

  connect(MemberGroup, &QListWidget::itemSelectionChanged, this,
          [this] { OnMemberGroupSelectionChanged(); });
  connect(MemberGroup, &QListWidget::itemDoubleClicked, this,
          [this] { MemberGroup_DblClick(); });
  connect(GroupList, &QListWidget::itemSelectionChanged, this,
          [this] { OnGroupListSelectionChanged(); });
  connect(GroupList, &QListWidget::itemDoubleClicked, this, [this] { GroupList_DblClick(); });
  connect(AddGroup, &QPushButton::clicked, this, [this] { AddGroup_Click(); });

  connect(MethodList, &QComboBox::currentIndexChanged, this,
          [this](int index) { OnMethodIndexChanged(index); });
  connect(AddMethod, &QPushButton::clicked, this, [this] { AddMethod_Click(); });

  connect(DesiredGPABox, &QLineEdit::textChanged, this, [this] { DesiredGPABox_Change(); });
  connect(ClassesLeftBox, &QLineEdit::textChanged, this, [this] { ClassesLeftBox_Change(); });
  connect(PredictGo, &QPushButton::clicked, this, [this] { PredictGo_Click(); });

  connect(SaveButton, &QPushButton::clicked, this, [this] { files_.Save(); });
  connect(LoadButton, &QPushButton::clicked, this, [this] { Load_Click(); });
  connect(OptionsButton, &QPushButton::clicked, this, [this] { Options_Click(); });
}

bool MainScreen::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == SemesterList) {
      const bool move = (key->modifiers() & Qt::KeypadModifier) &&
                        (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus);
      SemesterList_KeyDown(key->key(), key->modifiers());
      return move || key->key() == Qt::Key_Delete;
    }
    if (watched == ClassList) {
      ClassList_KeyDown(key->key());
      return key->key() == Qt::Key_Delete;
    }
    if (watched == GroupList) {
      GroupList_KeyDown(key->key());
      return key->key() == Qt::Key_Delete;
    }
    if (watched == MemberGroup) {
      MemberGroup_KeyDown(key->key());
      return key->key() == Qt::Key_Delete;
    }
  } else if (event->type() == QEvent::MouseButtonDblClick && watched == MemberGroup->viewport()) {
    // The second click of a double-click toggles its entry back, as every click does, so
    // double-clicking a group to rename it leaves the class's groups as they were.
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (QListWidgetItem* item = MemberGroup->itemAt(at)) item->setSelected(!item->isSelected());
  } else if (event->type() == QEvent::MouseButtonPress && watched == Label2) {
    // Clicking the "Credits:" label puts the text cursor into the credits box.
    CreditsBox->setFocus(Qt::MouseFocusReason);
    return true;
  } else if (event->type() == QEvent::MouseButtonRelease && watched == Picture1) {
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) About_Click();
    return true;
  } else if (event->type() == QEvent::Shortcut && watched == OptionsButton) {
    // Alt+O belongs to the menu bar's Options and to this button alike; both open the
    // options, so a shared key opens them instead of only moving the focus.
    if (static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
      OptionsButton->click();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Status line and caption ----

QString MainScreen::StatusText() const { return statusLabel_->FullText(); }

void MainScreen::SetStatusText(const QString& text) { statusLabel_->SetFullText(text); }

void MainScreen::SetCaption(const QString& caption) {
  // The title bar marks unsaved changes.
  setWindowTitle(caption + QStringLiteral("[*]"));
}

// ---- Model -> widgets ----

void MainScreen::FillSemesterList() {
  const QScopedValueRollback guard(syncing_, true);
  SemesterList->clear();
  for (const SemesterEntry& e : gb_.SemesterOrder) {
    auto* item = new QListWidgetItem(Q(e.Name));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(e.Marked ? Qt::Checked : Qt::Unchecked);
    SemesterList->addItem(item);
  }
  ShowSemesterCurrent();
}

void MainScreen::ShowSemesterMarks() {
  const QScopedValueRollback guard(syncing_, true);
  for (int i = 0; i < SemesterList->count() && i < static_cast<int>(gb_.SemesterOrder.size()); ++i)
    SemesterList->item(i)->setCheckState(gb_.SemesterOrder[static_cast<size_t>(i)].Marked
                                             ? Qt::Checked
                                             : Qt::Unchecked);
}

void MainScreen::ShowSemesterCurrent() {
  const QScopedValueRollback guard(syncing_, true);
  const int row = curSemester_ ? gb_.SemesterEntryIndex(*curSemester_) : -1;
  if (row < 0) {
    SemesterList->setCurrentRow(-1);
    SemesterList->clearSelection();
  } else {
    SemesterList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  }
}

void MainScreen::FillMethodList() {
  const QScopedValueRollback guard(syncing_, true);
  MethodList->clear();
  for (const Method& m : gb_.Methods) MethodList->addItem(Q(m.Name));
  // The drop-down shows whole names even when the closed box cuts them.
  MethodList->view()->setMinimumWidth(MethodList->view()->sizeHintForColumn(0) + Px(300));
  if (gb_.MethodPos < -1 || gb_.MethodPos >= static_cast<int>(gb_.Methods.size()))
    gb_.MethodPos = -1;
  MethodList->setCurrentIndex(gb_.MethodPos);
}

void MainScreen::FillGroupLists() {
  const QScopedValueRollback guard(syncing_, true);
  GroupList->clear();
  MemberGroup->clear();
  for (const GroupEntry& g : gb_.GroupNames) {
    GroupList->addItem(Q(g.Name));
    MemberGroup->addItem(Q(g.Name));
    GroupList->item(GroupList->count() - 1)->setSelected(g.InMask);
  }
}

void MainScreen::FillGradeList() {
  const QScopedValueRollback guard(syncing_, true);
  GradeListBox->clear();
  for (std::string_view letter : kLetterGrades)
    GradeListBox->addItem(Q(letter));
  ShowGradePos();
}

void MainScreen::ShowGradePos() {
  const QScopedValueRollback guard(syncing_, true);
  if (gradePos_ < -1 || gradePos_ >= GradeListBox->count()) gradePos_ = -1;
  GradeListBox->setCurrentIndex(gradePos_);
}

// ---- Widgets -> model ----

void MainScreen::OnSemesterCurrentChanged() {
  if (syncing_) return;
  QListWidgetItem* item = SemesterList->currentItem();
  if (item) {
    curSemester_ = item->text().toStdString();
    const QScopedValueRollback guard(syncing_, true);
    item->setSelected(true);
  } else {
    curSemester_.reset();
  }
  SemesterList_Click();
}

void MainScreen::OnSemesterItemChanged(QListWidgetItem* item) {
  if (syncing_) return;
  const int row = SemesterList->row(item);
  if (row < 0 || row >= static_cast<int>(gb_.SemesterOrder.size())) return;
  gb_.SemesterOrder[row].Marked = item->checkState() == Qt::Checked;
  // Flipping a mark makes its entry current.
  if (SemesterList->currentRow() != row) {
    curSemester_ = gb_.SemesterOrder[row].Name;
    ShowSemesterCurrent();
  }
  SemesterList_Click();
}

void MainScreen::OnClassCurrentChanged() {
  if (syncing_) return;
  QListWidgetItem* item = ClassList->currentItem();
  if (item) {
    curClass_ = item->text().toStdString();
    const QScopedValueRollback guard(syncing_, true);
    item->setSelected(true);
  } else {
    curClass_.reset();
  }
  ClassList_Click();
}

void MainScreen::OnGradeIndexChanged(int index) {
  if (syncing_) return;
  gradePos_ = index;
  GradeListBox_Click();
}

void MainScreen::OnMethodIndexChanged(int index) {
  if (syncing_) return;
  Run(edit::SetMethodInUse(gb_, index));
  UpdateClassGPABox();
  UpdateGPABoxes();
}

void MainScreen::OnGroupListSelectionChanged() {
  if (syncing_) return;
  GroupList_Click();
}

void MainScreen::OnMemberGroupSelectionChanged() {
  if (syncing_) return;
  MemberGroup_Click();
}

// ---- Refresh ----

void MainScreen::UpdateGPABoxes() {
  last_ = mw::UpdateGPABoxes(gb_, curSemester_.value_or(std::string()));
  NumGroupMask->setText(Q(last_.CountCaption));
  NumGroupMask->setToolTip(Q(last_.CountTooltip));
  OverallGPABox->setText(Q(last_.OverallGPAText));
  SemGPABox->setText(Q(last_.SemGPAText));
  emit FiguresChanged();
}

void MainScreen::UpdateClassGPABox() {
  ClassGPABox->setText(Q(mw::UpdateClassGPABox(gb_, gradePos_).Text));
}

void MainScreen::RefreshFigures() { UpdateGPABoxes(); }

void MainScreen::SetClassListTitle(const QString& text, bool bold) {
  ClassListTitle->setText(text);
  QFont f = ClassListTitle->font();
  f.setBold(bold);
  ClassListTitle->setFont(f);
}

void MainScreen::DisplayClasses(const Semester& s) {
  SetClassListTitle(Q(s.Name), true);
  const QScopedValueRollback guard(syncing_, true);
  ClassList->setSortingEnabled(false);
  ClassList->clear();
  for (const Class& c : s.Classes) ClassList->addItem(new ClassListItem(Q(c.Name)));
  ClassList->setSortingEnabled(true);
  ClassList->sortItems();
  ClassList->setCurrentRow(-1);
  curClass_.reset();
}

void MainScreen::DisplayMe(const Class& c) {
  const QScopedValueRollback reset(resetting_, true);
  ClassName->setText(Q(c.Name));
  QFont f = ClassName->font();
  f.setBold(true);
  ClassName->setFont(f);
  {
    const QScopedValueRollback guard(syncing_, true);
    for (int i = 0; i < MemberGroup->count(); ++i)
      MemberGroup->item(i)->setSelected(gb_.InGroup(c, MemberGroup->item(i)->text().toStdString()));
  }
  // A grade that is no position of the letter list (possible only from a file) selects none.
  gradePos_ = (c.Grade >= 0 && c.Grade < kGradeCount) ? c.Grade : -1;
  ShowGradePos();
  UpdateClassGPABox();
  CreditsBox->setText(Q(GeneralNumber(c.Credits)));
}

void MainScreen::DeselectMemberGroups() {
  const QScopedValueRollback guard(syncing_, true);
  MemberGroup->clearSelection();
}

void MainScreen::ClearClassDisplay() {
  ClassName->setText(QString());
  {
    const QScopedValueRollback guard(syncing_, true);
    ClassList->clear();
    curClass_.reset();
  }
  const QScopedValueRollback reset(resetting_, true);
  CreditsBox->setText(QString());
  DeselectMemberGroups();
  gradePos_ = ReadDefGrade(settings_);
  ShowGradePos();
  UpdateClassGPABox();
}

// ---- The fresh grade book ----

void MainScreen::NewGradeBook() {
  const int defGrade = ReadDefGrade(settings_);
  ResetToFresh(gb_);
  UseNewBookMethod(gb_, settings_);  // a scale chosen in the options joins and is in use
  const int methodInUse = gb_.MethodPos;
  gradePos_ = defGrade;
  curSemester_.reset();
  curClass_.reset();
  // The method selector gets the built-in methods with the first current, which runs the
  // method change.
  gb_.MethodPos = -1;
  FillMethodList();
  gb_.MethodPos = methodInUse;
  {
    const QScopedValueRollback guard(syncing_, true);
    MethodList->setCurrentIndex(gb_.MethodPos);
  }
  MethodList_Click();
  FillSemesterList();
  FillGroupLists();
  // The grade selector is filled afresh and set to the default grade, which runs the grade
  // change (with nothing current it only recomputes).
  gradePos_ = -1;
  FillGradeList();
  gradePos_ = defGrade;
  ShowGradePos();
  GradeListBox_Click();
  ClearClassDisplay();
  DesiredGPABox->setText(QString());
  ClassListTitle->setText(QString());
  ClassesLeftBox->setText(QString());
  SetCaption(QStringLiteral("Markwell"));
  SetStatusText(QStringLiteral("Welcome to Markwell!"));
  undo_->clear();
}

void MainScreen::StartUp(const QString& argumentText) {
  NewGradeBook();
  files_.StartupLoad(argumentText);
}

void MainScreen::ShowLoadedGradeBook() {
  // Refilling the lists leaves no semester or class current; every semester is marked.
  curSemester_.reset();
  curClass_.reset();
  FillMethodList();
  FillGroupLists();
  FillSemesterList();
  ClearClassDisplay();
  UpdateGPABoxes();
  undo_->clear();
}

void MainScreen::MarkSaved() { undo_->setClean(); }

bool MainScreen::MaybeSave() {
  if (undo_->isClean()) return true;
  switch (prompts_->AskSaveChanges(
      QStringLiteral("The grade book has unsaved changes. Save them?"))) {
    case Prompts::SaveChoice::Save: return files_.Save();
    case Prompts::SaveChoice::Discard: return true;
    case Prompts::SaveChoice::Cancel: return false;
  }
  return false;
}

void MainScreen::Load_Click() {
  if (MaybeSave()) files_.Load();
}

void MainScreen::closeEvent(QCloseEvent* event) {
  if (quitting_ || MaybeSave()) {
    event->accept();
  } else {
    event->ignore();
  }
  quitting_ = false;
}

void MainScreen::Resync(unsigned touches, const edit::Place& place) {
  // The lists again from the document; the entries the step names become current, else the
  // ones that were current stay so where they still exist.
  if (place.semester) {
    curSemester_ = place.semester;
    curClass_ = place.cls;
  }
  if (curSemester_ && gb_.SemesterEntryIndex(*curSemester_) < 0) curSemester_.reset();
  const std::optional<std::string> cls = curClass_;
  if (touches & (edit::kMethods | edit::kMethodInUse)) FillMethodList();
  if (touches & (edit::kGroups | edit::kMask)) FillGroupLists();
  FillSemesterList();
  ClearClassDisplay();
  if (Semester* s = CurrentSemesterObj()) {
    DisplayClasses(*s);
    if (cls && GradeBook::FindClass(s, *cls)) {
      curClass_ = cls;
      const QScopedValueRollback guard(syncing_, true);
      const auto found = ClassList->findItems(Q(*cls), Qt::MatchExactly);
      if (!found.isEmpty()) ClassList->setCurrentItem(found.front());
    }
    ShowClassAgain();
  } else {
    SetClassListTitle(QStringLiteral("Class:"), false);
  }
  UpdateClassGPABox();
  UpdateGPABoxes();
}

// ---- Dialogs and menu commands ----

void MainScreen::New_Click() {
  // With unsaved changes their question is the only one asked.
  if (!undo_->isClean()) {
    if (MaybeSave()) NewGradeBook();
    return;
  }
  if (prompts_->AskYesNo(
          QStringLiteral("Are you sure you want to create a new Markwell file?"),
          QStringLiteral("New Markwell File")))
    NewGradeBook();
}

void MainScreen::Quit_Click() {
  const bool go = undo_->isClean() ? files_.ConfirmQuit() : MaybeSave();
  if (!go) return;
  quitting_ = true;
  close();
}

void MainScreen::Options_Click() {
  OptionsDialog dialog(gb_, settings_, *prompts_, this);
  dialog.SetProtection = [this](bool on) { Run(edit::SetProtection(gb_, on)); };
  dialog.exec();
}

void MainScreen::PrintExport_Click() {
  ExportFileDialog dialog(gb_, *prompts_, [this](const QString& text) { SetStatusText(text); },
                          this);
  dialog.exec();
}

void MainScreen::Overview_Click() {
  if (!overview_) {
    overview_ = new OverviewWindow(gb_, curSemester_, settings_, *prompts_,
                                   [this](const QString& name) { SelectSemester(name); }, this);
    overview_->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &MainScreen::FiguresChanged, overview_, &OverviewWindow::ScheduleRefresh);
    overview_->SetStepRunner([this](edit::Outcome outcome) {
      const unsigned touches = outcome.step ? outcome.step->Touches : 0;
      const edit::Place place = outcome.step ? outcome.step->AfterRedo : edit::Place{};
      if (!Run(std::move(outcome))) return false;
      if (touches) Resync(touches, place);  // the lists show the step the overview made
      return true;
    });
  }
  overview_->show();
  overview_->raise();
  overview_->activateWindow();
}

void MainScreen::SelectSemester(const QString& name) {
  const int row = gb_.SemesterEntryIndex(name.toStdString());
  if (row >= 0 && row != SemesterList->currentRow()) SemesterList->setCurrentRow(row);
}

void MainScreen::Help_Click() { ShowHelp(this, *prompts_); }

void MainScreen::About_Click() {
  AboutDialog dialog(*prompts_, this);
  dialog.exec();
}

void MainScreen::AddMethod_Click() {
  const int kept = MethodList->currentIndex();
  // The editor works on a copy; what it changed is one step.
  std::vector<Method> methods = gb_.Methods;
  {
    EditMethodDialog dialog(methods, *prompts_, this);
    dialog.exec();
  }
  const int count = static_cast<int>(methods.size());
  const int pos = kept < 0 ? -1 : (kept < count ? kept : (count > 0 ? 0 : -1));
  Run(edit::ReplaceMethods(gb_, std::move(methods), pos));
  FillMethodList();
  if (kept < 0) return;
  // Making the entry current runs the method change: the edited grade points count at once.
  MethodList_Click();
}

void MainScreen::MethodList_Click() {
  SetStatusText(QStringLiteral("Changed grading method to \"") + Q(gb_.MethodText()) +
                QStringLiteral("\"."));
  UpdateClassGPABox();
  UpdateGPABoxes();
}

}  // namespace mw
