// The file and colour choosers. Tests replace them through the hooks, so a
// test never meets a modal dialog.
#include <QColorDialog>
#include <QFileDialog>

#include <algorithm>

#include "platform/qt/qt_window.h"
#include "platform/window_system.h"


int chooseFile(const FileChooser& chooser, std::string& path, int* filter) {
  if (qtWindow.fileChooserHook != nullptr) return qtWindow.fileChooserHook(chooser, path, filter);
  QFileDialog dialog(qtWindow.mainWindow);
  if (!chooser.title.empty()) dialog.setWindowTitle(qtText(chooser.title));
  QStringList filters;
  for (const FileFilter& each : chooser.filters) {
    filters << QString("%1 (%2)").arg(each.text, each.pattern);
  }
  dialog.setNameFilters(filters);
  // A name typed without an ending takes the chosen filter's before the
  // dialog asks about replacing a file, so it asks about the file written.
  const auto endingOf = [&](const QString& chosen) {
    const qsizetype at = filters.indexOf(chosen);
    const char* ending = at >= 0 ? chooser.filters[static_cast<std::size_t>(at)].ending : nullptr;
    return ending != nullptr ? QString(ending).remove(0, 1) : QString();
  };
  if (chooser.save && !filters.isEmpty()) dialog.setDefaultSuffix(endingOf(filters.front()));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&](const QString& chosen) { dialog.setDefaultSuffix(endingOf(chosen)); });
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
  if (filter != nullptr) *filter = static_cast<int>(std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0));
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
