#include <QApplication>

#include <clocale>

#include "app/viewer_startup.h"

int main(int argc, char** argv) {
  std::vector<std::string> files;
  if (const int status = viewerOptions(argc, argv, files); status >= 0) return status;
  QApplication application(argc, argv);
  // Numbers in the program's files are written with a point in every locale.
  std::setlocale(LC_NUMERIC, "C");
  startViewer(files);
  return finishViewer(QApplication::exec());
}
