#include <QApplication>

#include <clocale>

#include "app/viewer_startup.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Numbers in the program's files are written with a point in every locale.
  std::setlocale(LC_NUMERIC, "C");
  startViewer(commandLineText(argc, argv));
  return finishViewer(QApplication::exec());
}
