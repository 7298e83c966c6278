// The yardstick of start-up: an empty QMainWindow to its first shown frame, linked with
// Qt Widgets alone.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(640, 480);
  window.show();
  QApplication::processEvents();
  return 0;
}
