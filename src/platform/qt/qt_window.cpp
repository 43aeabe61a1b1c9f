// The main window, its menu bar, toolbar, status bar and drawing area, and
// the window-system functions the shell calls by number.
#include "platform/qt/qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QStatusBar>
#include <QSurfaceFormat>
#include <QToolBar>
#include <QToolTip>
#include <QHelpEvent>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/window_system.h"
#include "ui/main_window.h"
#include "ui/menu_template.h"
#include "ui/window_messages.h"
#include "settings/view_options.h"

TesseraWindow* mainWindow = nullptr;

namespace {

struct MenuState {
  std::map<int, QAction*> actions;  // by command number
  std::map<int, QMenu*> owners;     // the popup holding each command
  std::map<int, bool> checked;      // the check marks: the menu's own record
  std::map<QString, QMenu*> popups; // by caption
  std::vector<QMenu*> menus;        // this copy's popups, released with it
};
MenuState menu;
std::map<int, QAction*> buttons;  // toolbar actions by command 1..11

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Mouse positions travel as x in the low and y in the high 16 bits; the
// shell reads them back as signed numbers, so a drag past the left or top
// edge keeps its sign.
long long packPoint(const QPointF& p) {
  const auto clamp = [](double v) {
    return static_cast<long long>(std::lround(std::clamp(v, -32768.0, 32767.0))) & 0xFFFF;
  };
  return clamp(p.x()) | (clamp(p.y()) << 16);
}

}  // namespace

void postMessage(int message, long long wParam, long long lParam) {
  QMetaObject::invokeMethod(
      qApp, [=] { mainWindowProc(message, static_cast<std::intptr_t>(wParam), static_cast<std::intptr_t>(lParam)); },
      Qt::QueuedConnection);
}

ViewWidget::ViewWidget(QWidget* parent) : QOpenGLWidget(parent) {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  format.setRedBufferSize(8);
  format.setGreenBufferSize(8);
  format.setBlueBufferSize(8);
  format.setDepthBufferSize(32);  // the closest the driver has
  format.setSamples(0);           // multisampling breaks reading the pixels back
  setFormat(format);
  setMouseTracking(false);
}

int ViewWidget::deviceWidth() const { return static_cast<int>(std::lround(width() * devicePixelRatioF())); }
int ViewWidget::deviceHeight() const { return static_cast<int>(std::lround(height() * devicePixelRatioF())); }

void ViewWidget::initializeGL() {
  const bool valid = context() != nullptr && context()->isValid();
  setUpDrawingArea(valid, valid && QOpenGLContext::currentContext() == context());
}

void ViewWidget::resizeGL(int, int) { mainWindowProc(msgSize, deviceWidth(), deviceHeight()); }

void ViewWidget::paintGL() { mainWindowProc(msgPaint, 0, 0); }

void ViewWidget::mousePressEvent(QMouseEvent* event) {
  const double ratio = devicePixelRatioF();
  const long long point = packPoint(event->position() * ratio);
  if (event->button() == Qt::LeftButton) mainWindowProc(msgLeftButtonDown, 0, static_cast<std::intptr_t>(point));
  if (event->button() == Qt::RightButton) mainWindowProc(msgRightButtonDown, 0, static_cast<std::intptr_t>(point));
}

void ViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  const long long point = packPoint(event->position() * devicePixelRatioF());
  if (event->button() == Qt::LeftButton) mainWindowProc(msgLeftButtonUp, 0, static_cast<std::intptr_t>(point));
  if (event->button() == Qt::RightButton) mainWindowProc(msgRightButtonUp, 0, static_cast<std::intptr_t>(point));
}

void ViewWidget::mouseMoveEvent(QMouseEvent* event) {
  const long long point = packPoint(event->position() * devicePixelRatioF());
  const long long keys = ((event->buttons() & Qt::LeftButton) ? 1 : 0) | ((event->buttons() & Qt::RightButton) ? 2 : 0);
  mainWindowProc(msgMouseMove, static_cast<std::intptr_t>(keys), static_cast<std::intptr_t>(point));
}

TesseraWindow::TesseraWindow() {
  setWindowTitle("Tessera");
  setAcceptDrops(true);

  toolBar = addToolBar("Toolbar");
  toolBar->setIconSize(QSize(16, 16));
  for (const ToolbarButton& b : toolbarTemplate()) {
    if (b.image < 0) {
      toolBar->addSeparator();
      continue;
    }
    QAction* action = toolBar->addAction(toolbarIcon(b.image), toolbarTooltip(b.command));
    action->setData(b.command);
    action->setCheckable(b.check);
    const int command = b.command;
    QObject::connect(action, &QAction::triggered, [command] { postMessage(msgCommand, command, 0); });
    buttons[command] = action;
  }

  toolBar->installEventFilter(this);

  statusPart0 = new QLabel;
  statusPart1 = new QLabel;
  statusPart1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addWidget(statusPart0);
  statusBar()->addWidget(statusPart1, 1);
  statusBar()->setSizeGripEnabled(false);

  view = new ViewWidget(this);
  setCentralWidget(view);
}

void TesseraWindow::moveEvent(QMoveEvent*) { mainWindowProc(msgMove, 0, 0); }

// A tooltip over a toolbar button asks the shell for its text by command.
bool TesseraWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != toolBar || event->type() != QEvent::ToolTip) return QMainWindow::eventFilter(watched, event);
  auto* help = static_cast<QHelpEvent*>(event);
  QAction* action = toolBar->actionAt(help->pos());
  if (action == nullptr || !action->data().isValid()) return true;
  char text[128] = {};
  mainWindowProc(msgNotify, action->data().toInt(), reinterpret_cast<std::intptr_t>(text));
  QToolTip::showText(help->globalPos(), QString::fromUtf8(text), toolBar);
  return true;
}

void TesseraWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  mainWindowProc(msgDestroy, 0, 0);
}

void TesseraWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TesseraWindow::dropEvent(QDropEvent* event) {
  droppedPaths.clear();
  for (const QUrl& url : event->mimeData()->urls()) droppedPaths << url.toLocalFile();
  event->acceptProposedAction();
  mainWindowProc(msgDropFiles, droppedPaths.size(), 0);
}

// ---- window-system functions ------------------------------------------------

bool createWindowWidgets() {
  mainWindow = new TesseraWindow;
  const WindowGeometry& g = windowGeometry;
  mainWindow->move(g.windowX, g.windowY);
  mainWindow->resize(g.windowWidth, g.windowHeight);
  return true;
}

bool mainWindowExists() { return mainWindow != nullptr; }

void showMainWindow(int showState) {
  if (showState == 3) {
    mainWindow->showMaximized();
  } else if (showState == 2 || showState == 6 || showState == 7) {
    mainWindow->showMinimized();
  } else {
    mainWindow->show();
    // The saved size is the outer frame; the frame is known once shown.
    const QRect frame = mainWindow->frameGeometry(), inner = mainWindow->geometry();
    const int extraWidth = frame.width() - inner.width(), extraHeight = frame.height() - inner.height();
    if (extraWidth > 0 || extraHeight > 0) {
      mainWindow->resize(windowGeometry.windowWidth - extraWidth, windowGeometry.windowHeight - extraHeight);
    }
  }
}

void destroyWindowWidgets() {
  buttons.clear();
  menu = MenuState{};
  delete mainWindow;
  mainWindow = nullptr;
}

void windowSetTitle(std::string_view title) { mainWindow->setWindowTitle(text(title)); }

void windowOuterRect(int& x, int& y, int& width, int& height) {
  const QRect frame = mainWindow->frameGeometry();
  x = frame.x();
  y = frame.y();
  width = frame.width();
  height = frame.height();
}

int windowClientWidth() { return mainWindow->width(); }

void windowPostQuit(int code) { QCoreApplication::exit(code); }

void platformPostSpin() { postMessage(WM_SPIN, 0, 0); }

void menuAttachFresh() {
  QMenuBar* bar = mainWindow->menuBar();
  bar->clear();
  // The old copy goes once control is back in the event loop: a command
  // may be running from one of its items.
  for (QMenu* old : menu.menus) old->deleteLater();
  menu = MenuState{};
  QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
  for (const MenuItem& item : menuTemplate()) {
    QMenu* parent = item.depth > 0 ? parents[item.depth - 1] : nullptr;
    if (item.caption == nullptr) {
      if (parent != nullptr) parent->addSeparator();
      continue;
    }
    if (item.command == 0) {  // a popup
      QMenu* popup = new QMenu(item.caption, bar);
      menu.menus.push_back(popup);
      if (parent == nullptr) {
        bar->addMenu(popup);
      } else {
        parent->addMenu(popup);
      }
      parents[item.depth] = popup;
      menu.popups[QString(item.caption)] = popup;
      continue;
    }
    QAction* action = parent != nullptr ? parent->addAction(item.caption) : bar->addAction(item.caption);
    action->setEnabled(!item.greyed);
    const int command = item.command;
    QObject::connect(action, &QAction::triggered, [command] {
      // Qt flips a checkable item on a click; the check mark stays the menu's
      // record until the command itself changes it.
      menuCheck(command, menuIsChecked(command));
      postMessage(msgCommand, command, 0);
    });
    menu.actions[command] = action;
    menu.owners[command] = parent;
  }
}

void menuCheck(int command, bool checked) {
  auto found = menu.actions.find(command);
  if (found == menu.actions.end()) return;
  menu.checked[command] = checked;
  found->second->setCheckable(checked || found->second->isCheckable());
  found->second->setChecked(checked);
}

bool menuIsChecked(int command) {
  auto found = menu.checked.find(command);
  return found != menu.checked.end() && found->second;
}

void menuEnable(int command, bool enabled) {
  auto found = menu.actions.find(command);
  if (found != menu.actions.end()) found->second->setEnabled(enabled);
}

bool menuIsEnabled(int command) {
  auto found = menu.actions.find(command);
  return found != menu.actions.end() && found->second->isEnabled();
}

bool menuHasItem(int command) { return menu.actions.count(command) != 0; }

void menuDelete(int command) {
  auto found = menu.actions.find(command);
  if (found == menu.actions.end()) return;
  if (QMenu* owner = menu.owners[command]) owner->removeAction(found->second);
  found->second->deleteLater();
  menu.actions.erase(found);
  menu.owners.erase(command);
  menu.checked.erase(command);
}

void menuInsertBefore(int before, int command, std::string_view caption) {
  auto anchor = menu.actions.find(before);
  if (anchor == menu.actions.end()) return;
  QMenu* owner = menu.owners[before];
  if (owner == nullptr) return;
  QAction* action = new QAction(text(caption), owner);
  if (caption.empty()) action->setSeparator(true);
  owner->insertAction(anchor->second, action);
  if (!caption.empty()) {
    QObject::connect(action, &QAction::triggered, [command] { postMessage(msgCommand, command, 0); });
  }
  menu.actions[command] = action;
  menu.owners[command] = owner;
}

std::vector<int> menuItemsOfPopup(std::string_view caption) {
  std::vector<int> commands;
  auto popup = menu.popups.find(text(caption));
  if (popup == menu.popups.end()) return commands;
  for (QAction* action : popup->second->actions()) {
    int command = 0;
    for (const auto& [number, known] : menu.actions) {
      if (known == action) command = number;
    }
    commands.push_back(command);
  }
  return commands;
}

void toolbarCheck(int command, bool pressed) {
  auto found = buttons.find(command);
  if (found != buttons.end()) found->second->setChecked(pressed);
}

bool toolbarIsChecked(int command) {
  auto found = buttons.find(command);
  return found != buttons.end() && found->second->isChecked();
}

void toolbarEnable(int command, bool enabled) {
  auto found = buttons.find(command);
  if (found != buttons.end()) found->second->setEnabled(enabled);
}

void drawingAreaMakeCurrent() {
  if (mainWindow != nullptr) mainWindow->view->makeCurrent();
}

void drawingAreaDoneCurrent() {
  if (mainWindow != nullptr) mainWindow->view->doneCurrent();
}

void statusSetParts(int edge0, int) {
  // Part 0 reaches edge0; part 1 takes the rest of the bar.
  if (edge0 > 0) mainWindow->statusPart0->setFixedWidth(edge0);
}

void statusSetText(int part, std::string_view value) {
  QLabel* label = part == 0 ? mainWindow->statusPart0 : mainWindow->statusPart1;
  label->setText(text(value));
}

std::string statusText(int part) {
  const QLabel* label = part == 0 ? mainWindow->statusPart0 : mainWindow->statusPart1;
  return label->text().toStdString();
}

std::string droppedFilePath(int index) {
  if (mainWindow == nullptr || index < 0 || index >= mainWindow->droppedPaths.size()) return {};
  return mainWindow->droppedPaths[index].toStdString();
}
