// The main window: its controls, menus, status line, the refresh of the figures, the fresh
// grade book and the dialog openers.
#include "ui/main_window/main_screen.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
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
#include <cstring>
#include <initializer_list>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "edit/edit.h"
#include "model/figures.h"
#include "model/method.h"
#include "model/numtext.h"
#include "model/predict.h"
#include "settings/new_book_method.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/dialogs/qt_prompts.h"
#include "ui/main_window/main_screen_util.h"
#include "ui/sheet/sheet_commands.h"
#include "ui/sheet/sheet_window.h"
#include "ui/views/views.h"
#include "ui/widgets/access.h"
#include "ui/widgets/control_table.h"
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

// The largest font, from 8 points down, at which every caption of the tables fits its control
// (labels and buttons; a button's caption with some room), and each value display its widest
// figure. Worked out from the tables, so that the controls are made in their final font.
QFont FittingFont(std::initializer_list<std::span<const Control<MainScreen>>> tables,
                  double scale) {
  static const std::pair<const char*, const char*> kWidestFigures[] = {
      {"OverallGPABox", "10.888"}, {"SemGPABox", "10.888"}, {"ClassGPABox", "10.88"},
      {"NumGroupMask", "(888 classes)"}};
  struct Caption {
    QString text;
    int width, height, padding;
  };
  std::vector<Caption> captions;
  for (const auto& table : tables) {
    for (const Control<MainScreen>& c : table) {
      const int width = TwipsToPx(c.place.width, scale);
      const int height = TwipsToPx(c.place.height, scale);
      if (std::holds_alternative<QPushButton* MainScreen::*>(c.member))
        captions.push_back({QString::fromUtf8(c.caption), width, height, 8});
      else if (std::holds_alternative<QLabel* MainScreen::*>(c.member) && *c.caption)
        captions.push_back({QString::fromUtf8(c.caption), width, height, 0});
      for (const auto& [name, figure] : kWidestFigures)
        if (std::strcmp(c.name, name) == 0)
          captions.push_back({QString::fromLatin1(figure), width, height, 0});
    }
  }

  QFont font = QApplication::font();
  for (double pt = 8.0; pt >= 5.0; pt -= 0.25) {
    font.setPointSizeF(pt);
    const QFontMetrics fm(font);
    bool fits = true;
    for (const Caption& c : captions) {
      QString shown = c.text;
      shown.remove(QLatin1Char('&'));
      if (fm.horizontalAdvance(shown) + c.padding > c.width || fm.height() > c.height) {
        fits = false;
        break;
      }
    }
    if (fits) break;
  }
  return font;
}

}  // namespace

MainScreen::MainScreen(SettingsStore& settings, Prompts* prompts, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      ownedPrompts_(prompts ? nullptr : std::make_unique<QtPrompts>(this)),
      prompts_(prompts ? prompts : ownedPrompts_.get()),
      files_(doc_, *prompts_, settings_, *this) {
  setObjectName(QStringLiteral("MainScreen"));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    scale_ = std::max(0.5, screen->logicalDotsPerInchX() / 96.0);

  connect(&doc_, &BookDocument::ModifiedChanged, this,
          [this](bool modified) { setWindowModified(modified); });
  connect(&doc_, &BookDocument::Changed, this,
          [this](unsigned touches, const edit::Place& place, BookDocument::Cause cause) {
            OnDocumentChanged(touches, place, cause);
          });
  BuildControls();
  BuildMenus();
  SetTabOrder();
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

MainScreen::~MainScreen() {
  // The overview reads the document, which goes before the window's child widgets do.
  delete overview_;
}

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
  static const char* const kOverallTip = "Overall GPA of all classes in selected groups";
  static const char* const kSemTip = "GPA of classes in selected semester which are in the group mask";
  static const Control<MainScreen> kControls[] = {
      {&MainScreen::Label1, "Label1", {240, 120, 1575, 255}, "Semester:"},
      {&MainScreen::SemesterList, "SemesterList", {240, 480, 2295, 1860}, "",
       "Select a semester; Delete key to delete; Double-click to rename; +, - to move", "Semester"},
      {&MainScreen::Label4, "Label4", {240, 2400, 855, 255}, "Select:"},
      {&MainScreen::SemSelAll, "SemSelAll", {1080, 2400, 735, 255}, "All", "Select all semesters",
       "Select all semesters"},
      {&MainScreen::SemSelNone, "SemSelNone", {1800, 2400, 735, 255}, "None",
       "Deselect all semesters", "Deselect all semesters"},
      {&MainScreen::AddSemesterButton, "AddSemesterButton", {240, 2640, 2295, 255},
       "Add &Semester...", "Adds a new semester"},
      {&MainScreen::ClassListTitle, "ClassListTitle", {2880, 120, 2295, 375}, "Class:"},
      {&MainScreen::ClassList, "ClassList", {2880, 480, 2295, 2010}, "",
       "Select a class; Delete key to delete; Double-click to rename", "Classes"},
      {&MainScreen::AddClassButton, "AddClassButton", {2880, 2640, 2295, 255}, "Add &Class...",
       "Adds a new class to semester"},
      {&MainScreen::ClassName, "ClassName", {5520, 120, 2415, 375}},
      {&MainScreen::Label3, "Label3", {5520, 480, 495, 255}, "Grade:"},
      {&MainScreen::ClassGPABox, "ClassGPABox", {6360, 480, 495, 255}, "",
       "The numerical equivalent of the letter grade"},
      {&MainScreen::GradeListBox, "GradeListBox", {7080, 480, 735, 315}, "",
       "Select the grade for the current class", "Grade"},
      {&MainScreen::Label2, "Label2", {5520, 840, 735, 255}, "Credits:"},
      {&MainScreen::CreditsBox, "CreditsBox", {7320, 840, 495, 285}, "",
       "Enter the number of credits for this class", "Credits"},
      {&MainScreen::Label6, "Label6", {5520, 1200, 1575, 255}, "Member of Groups:"},
      {&MainScreen::MemberGroup, "MemberGroup", {5520, 1440, 2295, 1035}, "",
       "Select the groups under which you want this class to fall; Delete key to delete a "
       "group; Double-click to rename",
       "Member of Groups"},
      {&MainScreen::AddGroup, "AddGroup", {5520, 2640, 2295, 255}, "Add &Group...",
       "Adds a new masking group"},
      {&MainScreen::Label7, "Label7", {240, 3000, 1815, 255}, "Overall GPA:", kOverallTip},
      {&MainScreen::OverallGPABox, "OverallGPABox", {1920, 3000, 615, 255}, "", kOverallTip},
      {&MainScreen::Label5, "Label5", {2880, 3000, 1455, 255}, "Semester GPA:", kSemTip},
      {&MainScreen::SemGPABox, "SemGPABox", {4560, 3000, 615, 255}, "", kSemTip},
      // A click opens the About box; the Help menu is the keyboard's way there.
      {&MainScreen::Picture1, "Picture1", {5520, 3000, 2295, 495}, "", "", "Markwell, about"},
      {&MainScreen::Label8, "Label8", {240, 3360, 1215, 255}, "Consider Groups:"},
      {&MainScreen::NumGroupMask, "NumGroupMask", {1560, 3360, 975, 255}},
      {&MainScreen::GroupList, "GroupList", {240, 3600, 2295, 1230}, "",
       "Group mask; select groups you want to include in GPA calculation; Ctrl-click to "
       "mulit-select",
       "Consider Groups"},
      {&MainScreen::Label9, "Label9", {2880, 3360, 1455, 255}, "Grading Method:"},
      {&MainScreen::MethodList, "MethodList", {2880, 3600, 2295, 315}, "",
       "Change the method to change the numerical equivalents of letter grades",
       "Grading Method"},
      {&MainScreen::AddMethod, "AddMethod", {2880, 3960, 2295, 255}, "Add/Edit &Methods...",
       "Add, edit or remove methods"},
      {&MainScreen::Label10, "Label10", {2880, 4320, 1095, 255}, "Desired GPA:"},
      {&MainScreen::DesiredGPABox, "DesiredGPABox", {4080, 4320, 495, 285}, "",
       "Enter the GPA you want to achieve here", "Desired GPA"},
      {&MainScreen::Label11, "Label11", {2880, 4680, 1095, 255}, "Classes Left:"},
      {&MainScreen::ClassesLeftBox, "ClassesLeftBox", {4080, 4680, 495, 285}, "",
       "Enter how many classes you have left here", "Classes Left"},
      {&MainScreen::PredictGo, "PredictGo", {4680, 4320, 495, 615}, "Go!",
       "Let Markwell figure out the necessary GPA for your remaining classes"},
      {&MainScreen::Frame1, "Frame1", {5520, 3600, 2295, 1335}, "Markwell Commands",
       "Quits Markwell"},
  };
  // The buttons of the "Markwell Commands" frame.
  static const Control<MainScreen> kCommands[] = {
      {&MainScreen::SaveButton, "SaveButton", {240, 240, 1815, 255}, "S&ave File",
       "Saves current Markwell file (Ctrl-s or Alt-a)"},
      {&MainScreen::LoadButton, "LoadButton", {240, 600, 1815, 255}, "&Load File",
       "Loads a previusly saved Markwell File (Ctrl-L or Alt-L)"},
      {&MainScreen::OptionsButton, "OptionsButton", {240, 960, 1815, 255}, "&Options",
       "Displays the Markwell Options screen (Alt-O)"},
  };
  auto setup = [this](auto* w) {
    using W = std::remove_pointer_t<decltype(w)>;
    if constexpr (std::is_same_v<W, QLabel>) {
      w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    } else if constexpr (std::is_same_v<W, QPushButton>) {
      w->setAutoDefault(false);
    } else if constexpr (std::is_same_v<W, QListWidget>) {
      w->setUniformItemSizes(true);
      w->installEventFilter(this);
      KeepCurrentOnFocus(w);
      TipElidedEntries(w);
    } else if constexpr (std::is_same_v<W, QComboBox>) {
      w->setEditable(false);
      GuardWheel(w);
    }
  };
  // The status bar takes its height from the application's font; then the window's font, in
  // which every control is made.
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setToolTip(QStringLiteral("The status bar keeps you updated on what Markwell is doing"));
  statusLabel_ = new ElidedLabel(bar);
  statusLabel_->setObjectName(QStringLiteral("StatusText"));
  bar->addPermanentWidget(statusLabel_, 1);
  setFont(FittingFont({kControls, kCommands}, scale_));
  MakeControls(*this, central_, kControls, setup, scale_);
  MakeControls(*this, Frame1, kCommands, setup, scale_);

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
  item(file, "ImportClasses", QStringLiteral("&Import Classes..."), QKeySequence(),
       &MainScreen::ImportClasses_Click);
  item(file, "ExportClassesCsv", QStringLiteral("Export Classes as &CSV..."), QKeySequence(),
       &MainScreen::ExportClassesCsv_Click);
  file->addSeparator();
  item(file, "Quit", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
       &MainScreen::Quit_Click);

  QMenu* editMenu = bar->addMenu(QStringLiteral("&Edit"));
  editMenu->setObjectName(QStringLiteral("EditMenu"));
  QAction* undo = doc_.History()->createUndoAction(this, QStringLiteral("&Undo"));
  undo->setObjectName(QStringLiteral("Undo"));
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  QAction* redo = doc_.History()->createRedoAction(this, QStringLiteral("&Redo"));
  redo->setObjectName(QStringLiteral("Redo"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                      QKeySequence(Qt::CTRL | Qt::Key_Y)});
  editMenu->addAction(undo);
  editMenu->addAction(redo);
  editMenu->addSeparator();
  item(editMenu, "PasteClasses", QStringLiteral("&Paste Classes"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), &MainScreen::PasteClasses_Click);

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("ViewBar"));
  item(view, "Overview", QStringLiteral("GPA &Overview..."), QKeySequence(Qt::CTRL | Qt::Key_G),
       &MainScreen::Overview_Click);
  item(view, "ClassSheet", QStringLiteral("Class &Sheet..."), QKeySequence(Qt::CTRL | Qt::Key_T),
       &MainScreen::Sheet_Click);

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
  ChainTabOrder({SemesterList, AddSemesterButton, ClassList, AddClassButton, GradeListBox,
                 CreditsBox, MemberGroup, AddGroup, GroupList, MethodList, AddMethod,
                 DesiredGPABox, ClassesLeftBox, PredictGo, SaveButton, LoadButton,
                 OptionsButton, SemSelAll, SemSelNone});
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
  for (const SemesterEntry& e : Book().SemesterOrder) {
    auto* item = new QListWidgetItem(Q(e.Name));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(e.Marked ? Qt::Checked : Qt::Unchecked);
    SemesterList->addItem(item);
  }
  ShowSemesterCurrent();
}

void MainScreen::ShowSemesterMarks() {
  const QScopedValueRollback guard(syncing_, true);
  const auto& order = Book().SemesterOrder;
  for (int i = 0; i < SemesterList->count() && i < static_cast<int>(order.size()); ++i)
    SemesterList->item(i)->setCheckState(order[static_cast<size_t>(i)].Marked
                                             ? Qt::Checked
                                             : Qt::Unchecked);
}

void MainScreen::ShowSemesterCurrent() {
  const QScopedValueRollback guard(syncing_, true);
  const auto& current = CurrentSemester();
  const int row = current ? Book().SemesterEntryIndex(*current) : -1;
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
  for (const Method& m : Book().Methods) MethodList->addItem(Q(m.Name));
  // The drop-down shows whole names even when the closed box cuts them.
  MethodList->view()->setMinimumWidth(MethodList->view()->sizeHintForColumn(0) + Px(300));
  ShowMethodInUse();
}

void MainScreen::ShowMethodInUse() {
  const QScopedValueRollback guard(syncing_, true);
  // A position outside the list (possible only from a file) shows no entry.
  const int pos = Book().MethodPos;
  MethodList->setCurrentIndex(pos >= 0 && pos < MethodList->count() ? pos : -1);
}

void MainScreen::FillGroupLists() {
  const QScopedValueRollback guard(syncing_, true);
  GroupList->clear();
  MemberGroup->clear();
  for (const GroupEntry& g : Book().GroupNames) {
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
    doc_.Select(item->text().toStdString());
    const QScopedValueRollback guard(syncing_, true);
    item->setSelected(true);
  } else {
    doc_.Select(std::nullopt);
  }
  SemesterList_Click();
}

void MainScreen::OnSemesterItemChanged(QListWidgetItem* item) {
  if (syncing_) return;
  const int row = SemesterList->row(item);
  if (row < 0 || row >= static_cast<int>(Book().SemesterOrder.size())) return;
  doc_.SetMarked(row, item->checkState() == Qt::Checked);
  // Flipping a mark makes its entry current.
  if (SemesterList->currentRow() != row) {
    doc_.Select(Book().SemesterOrder[row].Name);
    ShowSemesterCurrent();
  }
  SemesterList_Click();
}

void MainScreen::OnClassCurrentChanged() {
  if (syncing_) return;
  QListWidgetItem* item = ClassList->currentItem();
  if (item) {
    doc_.SelectClass(item->text().toStdString());
    const QScopedValueRollback guard(syncing_, true);
    item->setSelected(true);
  } else {
    doc_.SelectClass(std::nullopt);
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
  if (!Run(edit::SetMethodInUse(Book(), index)).changed) {
    UpdateClassGPABox();
    UpdateGPABoxes();
  }
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
  const BookFigures f = ComputeFigures(Book(), CurrentSemester().value_or(std::string()));
  NumGroupMask->setText(Q(f.CountCaption));
  NumGroupMask->setToolTip(Q(f.CountTooltip));
  OverallGPABox->setText(Q(f.OverallText));
  SemGPABox->setText(Q(f.SemesterText));
}

void MainScreen::UpdateClassGPABox() {
  ClassGPABox->setText(Q(ClassGradePoints(Book(), gradePos_).Text));
}

void MainScreen::RefreshFigures() { UpdateGPABoxes(); }

void MainScreen::SetClassListTitle(const QString& text, bool bold) {
  ClassListTitle->setText(text);
  QFont f = ClassListTitle->font();
  f.setBold(bold);
  ClassListTitle->setFont(f);
}

void MainScreen::DisplayClasses(const Semester& s) {
  doc_.SelectClass(std::nullopt);
  FillClassList(s);
}

void MainScreen::FillClassList(const Semester& s) {
  SetClassListTitle(Q(s.Name), true);
  shownSemester_ = s.Name;
  const QScopedValueRollback guard(syncing_, true);
  ClassList->setSortingEnabled(false);
  ClassList->clear();
  QListWidgetItem* current = nullptr;
  const auto& cls = CurrentClass();
  for (const Class& c : s.Classes) {
    auto* item = new ClassListItem(Q(c.Name));
    if (cls && c.Name == *cls) current = item;
    ClassList->addItem(item);
  }
  ClassList->setSortingEnabled(true);
  ClassList->sortItems();
  if (current)
    ClassList->setCurrentItem(current);
  else
    ClassList->setCurrentRow(-1);
}

void MainScreen::DisplayMe(const Class& c) {
  const QScopedValueRollback reset(resetting_, true);
  panelClass_ = c.Name;
  ClassName->setText(Q(c.Name));
  QFont f = ClassName->font();
  f.setBold(true);
  ClassName->setFont(f);
  {
    const QScopedValueRollback guard(syncing_, true);
    for (int i = 0; i < MemberGroup->count(); ++i)
      MemberGroup->item(i)->setSelected(Book().InGroup(c, MemberGroup->item(i)->text().toStdString()));
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
  panelClass_.reset();
  {
    const QScopedValueRollback guard(syncing_, true);
    ClassList->clear();
    doc_.SelectClass(std::nullopt);
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
  GradeBook fresh;
  ResetToFresh(fresh);
  // The method selector gets the built-in methods with the first current, which runs the
  // method change.
  fresh.MethodPos = fresh.Methods.empty() ? -1 : 0;
  UseNewBookMethod(fresh, settings_);  // a scale chosen in the options joins and is in use
  doc_.Reset(std::move(fresh));
  MethodList_Click();
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
}

void MainScreen::StartUp(const QString& argumentText) {
  NewGradeBook();
  files_.StartupLoad(argumentText);
}

void MainScreen::ShowWholeBook() {
  // Refilling the lists leaves no semester or class current.
  FillMethodList();
  FillGroupLists();
  FillSemesterList();
  ClearClassDisplay();
  shownSemester_.reset();
  UpdateGPABoxes();
}

bool MainScreen::MaybeSave() {
  if (!doc_.IsModified()) return true;
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

// ---- Document -> widgets ----

void MainScreen::OnDocumentChanged(unsigned touches, const edit::Place& place,
                                   BookDocument::Cause cause) {
  switch (cause) {
    case BookDocument::Cause::Do: ShowStep(touches, place); break;
    case BookDocument::Cause::Undo:
    case BookDocument::Cause::Redo: Resync(touches); break;
    case BookDocument::Cause::Reset: ShowWholeBook(); break;
    case BookDocument::Cause::Marks:
      ShowSemesterMarks();
      UpdateGPABoxes();
      break;
  }
}

void MainScreen::ShowStep(unsigned touches, const edit::Place& place) {
  if (touches & edit::kSemesterList) ShowSemesterListStep();
  if (touches & edit::kClassList) ShowClassListStep(place);
  if (touches & (edit::kGroups | edit::kMask)) SyncGroupLists();
  if (touches & edit::kMethods)
    FillMethodList();
  else if (touches & edit::kMethodInUse)
    ShowMethodInUse();
  if (touches & (edit::kClassValues | edit::kMethods | edit::kMethodInUse)) UpdateClassGPABox();
  UpdateGPABoxes();
}

void MainScreen::ShowSemesterListStep() {
  const QScopedValueRollback guard(syncing_, true);
  const auto& order = Book().SemesterOrder;
  if (SemesterList->count() != static_cast<int>(order.size())) {
    FillSemesterList();
  } else {
    for (int r = 0; r < SemesterList->count(); ++r) {
      QListWidgetItem* item = SemesterList->item(r);
      item->setText(Q(order[static_cast<size_t>(r)].Name));
      item->setCheckState(order[static_cast<size_t>(r)].Marked ? Qt::Checked : Qt::Unchecked);
    }
    ShowSemesterCurrent();
  }
  const auto& current = CurrentSemester();
  if (!current) {
    // The semester shown was deleted.
    ClearClassDisplay();
    SetClassListTitle(QStringLiteral("Class:"), false);
    shownSemester_.reset();
  } else if (current != shownSemester_) {
    if (!shownSemester_ || Book().FindSemester(*shownSemester_)) {
      // A new semester became current: its (empty) class list and a clear panel.
      DisplayClasses(*CurrentSemesterObj());
      ClearClassDisplay();
    } else {
      // The semester shown was renamed: only the title follows.
      ClassListTitle->setText(Q(*current));
      shownSemester_ = current;
    }
  }
}

void MainScreen::ShowClassListStep(const edit::Place& place) {
  const Semester* s = CurrentSemesterObj();
  if (!s) return;
  // A renamed class stays in the panel under its old name; a deleted one leaves the panel its
  // credits and groups, but not its name and grade.
  const bool deleted =
      !place.cls && panelClass_ && !GradeBook::FindClass(s, *panelClass_) && !CurrentClass();
  if (place.cls && !CurrentClass()) panelClass_ = place.cls;
  FillClassList(*s);
  if (deleted) {
    ClassName->setText(QString());
    panelClass_.reset();
    const QScopedValueRollback reset(resetting_, true);
    gradePos_ = ReadDefGrade(settings_);
    ShowGradePos();
    UpdateClassGPABox();
  }
}

void MainScreen::SyncGroupLists() {
  const QScopedValueRollback guard(syncing_, true);
  const auto& names = Book().GroupNames;
  const int count = static_cast<int>(names.size());
  // Without a current class, the member picks stay with their entries: by row for a rename,
  // by name when entries came or went.
  std::vector<bool> picked(static_cast<size_t>(count), false);
  const Class* c = CurrentClassObj();
  for (int i = 0; i < count; ++i) {
    const std::string& name = names[static_cast<size_t>(i)].Name;
    if (c) {
      picked[static_cast<size_t>(i)] = Book().InGroup(*c, name);
    } else if (MemberGroup->count() == count) {
      picked[static_cast<size_t>(i)] = MemberGroup->item(i)->isSelected();
    } else {
      const auto found = MemberGroup->findItems(Q(name), Qt::MatchExactly);
      picked[static_cast<size_t>(i)] = !found.isEmpty() && found.front()->isSelected();
    }
  }
  if (GroupList->count() != count) {
    FillGroupLists();
  } else {
    for (int i = 0; i < count; ++i) {
      const GroupEntry& g = names[static_cast<size_t>(i)];
      GroupList->item(i)->setText(Q(g.Name));
      MemberGroup->item(i)->setText(Q(g.Name));
      if (GroupList->item(i)->isSelected() != g.InMask) GroupList->item(i)->setSelected(g.InMask);
    }
  }
  for (int i = 0; i < count; ++i)
    if (MemberGroup->item(i)->isSelected() != picked[static_cast<size_t>(i)])
      MemberGroup->item(i)->setSelected(picked[static_cast<size_t>(i)]);
}

void MainScreen::Resync(unsigned touches) {
  // The lists again from the document, with the entries the document made current.
  const std::optional<std::string> cls = CurrentClass();
  if (touches & (edit::kMethods | edit::kMethodInUse)) FillMethodList();
  if (touches & (edit::kGroups | edit::kMask)) FillGroupLists();
  FillSemesterList();
  ClearClassDisplay();
  if (const Semester* s = CurrentSemesterObj()) {
    doc_.SelectClass(cls);
    FillClassList(*s);
    ShowClassAgain();
  } else {
    SetClassListTitle(QStringLiteral("Class:"), false);
    shownSemester_.reset();
  }
  UpdateClassGPABox();
  UpdateGPABoxes();
}

// ---- Dialogs and menu commands ----

void MainScreen::New_Click() {
  // With unsaved changes their question is the only one asked.
  if (doc_.IsModified()) {
    if (MaybeSave()) NewGradeBook();
    return;
  }
  if (prompts_->AskYesNo(
          QStringLiteral("Are you sure you want to create a new Markwell file?"),
          QStringLiteral("New Markwell File")))
    NewGradeBook();
}

void MainScreen::Quit_Click() {
  const bool go = doc_.IsModified() ? MaybeSave() : files_.ConfirmQuit();
  if (!go) return;
  quitting_ = true;
  close();
}

void MainScreen::Options_Click() {
  OptionsDialog dialog(Book(), settings_, *prompts_, this);
  dialog.SetProtection = [this](bool on) { Run(edit::SetProtection(Book(), on)); };
  dialog.exec();
}

const Views* MainScreen::ViewsOrSay() {
  QString error;
  const Views* views = FindViews(&error);
  if (!views)
    prompts_->Message(QStringLiteral("This window is in a part of Markwell that could not be "
                                     "opened:\n") + error,
                      QStringLiteral("Error!"), Prompts::Icon::Critical);
  return views;
}

void MainScreen::PrintExport_Click() {
  if (const Views* views = ViewsOrSay())
    views->RunExportDialog(Book(), *prompts_,
                           [this](const QString& text) { SetStatusText(text); }, this);
}

void MainScreen::Overview_Click() {
  if (!overview_) {
    const Views* views = ViewsOrSay();
    if (!views) return;
    overview_ = views->NewOverview(doc_, settings_, *prompts_,
                                   [this](const QString& name) { SelectSemester(name); }, this);
    overview_->setAttribute(Qt::WA_DeleteOnClose);
  }
  overview_->show();
  overview_->raise();
  overview_->activateWindow();
}

void MainScreen::Sheet_Click() {
  if (!sheet_) {
    sheet_ = new SheetWindow(doc_, *prompts_, &settings_, this);
    // A row selected in the sheet makes its semester and class current here, as clicks do.
    connect(sheet_, &SheetWindow::ClassSelected, this, [this](const QString& semester, const QString& cls) {
      SelectSemester(semester);
      const auto items = ClassList->findItems(cls, Qt::MatchExactly);
      if (!items.isEmpty() && ClassList->currentItem() != items.first())
        ClassList->setCurrentItem(items.first());
    });
  }
  sheet_->show();
  sheet_->raise();
  sheet_->activateWindow();
}

void MainScreen::PasteClasses_Click() {
  const QString status = PasteClasses(doc_, *prompts_, QApplication::clipboard()->text(),
                                      doc_.CurrentSemester().value_or(std::string()));
  if (!status.isEmpty()) SetStatusText(status);
}

void MainScreen::ImportClasses_Click() {
  const QString status = ImportClasses(doc_, *prompts_);
  if (!status.isEmpty()) SetStatusText(status);
}

void MainScreen::ExportClassesCsv_Click() {
  const QString status = ExportClassesCsv(Book(), *prompts_);
  if (!status.isEmpty()) SetStatusText(status);
}

void MainScreen::SelectSemester(const QString& name) {
  const int row = Book().SemesterEntryIndex(name.toStdString());
  if (row >= 0 && row != SemesterList->currentRow()) SemesterList->setCurrentRow(row);
}

void MainScreen::Help_Click() { ShowHelp(this, *prompts_); }

void MainScreen::About_Click() {
  AboutDialog dialog(*prompts_, this);
  dialog.exec();
}

void MainScreen::AddMethod_Click() {
  const bool inUse = MethodList->currentIndex() >= 0;
  // The editor works on a copy; what it changed is one step.
  std::vector<Method> methods = Book().Methods;
  {
    EditMethodDialog dialog(methods, *prompts_, this);
    dialog.exec();
  }
  Run(edit::CloseMethodEditor(Book(), std::move(methods)));
  // The method in use again: the edited grade points count at once.
  if (inUse) MethodList_Click();
}

void MainScreen::MethodList_Click() {
  SetStatusText(QStringLiteral("Changed grading method to \"") + Q(Book().MethodText()) +
                QStringLiteral("\"."));
  UpdateClassGPABox();
  UpdateGPABoxes();
}

}  // namespace mw
