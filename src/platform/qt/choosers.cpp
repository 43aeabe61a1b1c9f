// The file and colour choosers. Tests replace them through the hooks, so a
// test never meets a modal dialog.
#include <QColorDialog>
#include <QFileDialog>

#include "platform/qt/qt_window.h"
#include "platform/window_system.h"


int chooseFile(const FileChooser& chooser, std::string& path) {
  if (qtWindow.fileChooserHook != nullptr) return qtWindow.fileChooserHook(chooser, path);
  QFileDialog dialog(qtWindow.mainWindow);
  QStringList filters;
  for (const FileFilter& filter : chooser.filters) {
    filters << QString("%1 (%2)").arg(filter.text, filter.pattern);
  }
  dialog.setNameFilters(filters);
  if (!chooser.folder.empty()) dialog.setDirectory(QString::fromStdString(chooser.folder));
  dialog.selectFile(QString::fromStdString(chooser.initialText));
  if (chooser.save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);  // an existing file is asked about first
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return -1;
  path = dialog.selectedFiles().front().toStdString();
  return 0;
}

bool chooseColorChannels(int& red, int& green, int& blue, std::string_view title) {
  if (qtWindow.colorChooserHook != nullptr) return qtWindow.colorChooserHook(red, green, blue, title);
  for (int k = 0; k < QColorDialog::customCount(); ++k) QColorDialog::setCustomColor(k, Qt::white);
  const QColor chosen = QColorDialog::getColor(QColor(red, green, blue), qtWindow.mainWindow,
                                               QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
  if (!chosen.isValid()) return false;
  red = chosen.red();
  green = chosen.green();
  blue = chosen.blue();
  return true;
}
