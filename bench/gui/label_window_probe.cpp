// A second yardstick of start-up: a QMainWindow holding a label and a button, to its first
// shown frame, linked with Qt Widgets alone. Unlike the empty window it loads the fonts and
// draws text, as every real first window does.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  auto* area = new QWidget(&window);
  auto* label = new QLabel(QStringLiteral("Semester:"), area);
  label->setGeometry(16, 8, 120, 17);
  auto* button = new QPushButton(QStringLiteral("Add &Semester..."), area);
  button->setGeometry(16, 176, 153, 17);
  window.setCentralWidget(area);
  window.resize(640, 480);
  window.show();
  QApplication::processEvents();
  return 0;
}
