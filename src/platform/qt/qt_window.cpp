// The main window, its menu bar, toolbar, status bar and drawing area, and
// the window-system functions the shell calls by number.
#include "platform/qt/qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QSurfaceFormat>
#include <QToolBar>
#include <QToolTip>
#include <QHelpEvent>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/window_messages.h"
#include "platform/window_system.h"

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
WindowLayout shellLayout;
WindowHandler handler = nullptr;
int savedWidth = 0, savedHeight = 0;  // the outer size asked for at creation

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A mouse message at a point in device pixels.
int sendMouse(WindowMessage id, const QPointF& point) {
  Message message{id};
  message.x = static_cast<int>(std::lround(point.x()));
  message.y = static_cast<int>(std::lround(point.y()));
  return sendMessage(message);
}

// A saved rectangle that overlaps no screen (a monitor since unplugged) is
// moved onto the primary screen at its size, shrunk to fit if larger.
QRect placeOnAScreen(const QRect& frame) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(frame)) return frame;
  }
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return frame;
  const QRect area = primary->availableGeometry();
  const QSize size = frame.size().boundedTo(area.size());
  return QRect(area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
}

}  // namespace

void windowSetHandler(WindowHandler shellHandler) { handler = shellHandler; }

int sendMessage(Message& message) { return handler != nullptr ? handler(message) : 0; }

void postMessage(WindowMessage id, int command) {
  QMetaObject::invokeMethod(
      qApp,
      [=] {
        Message message{id};
        message.command = command;
        sendMessage(message);
      },
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
  Message ready{msgDrawingAreaReady};
  ready.contextValid = context() != nullptr && context()->isValid();
  ready.contextCurrent = ready.contextValid && QOpenGLContext::currentContext() == context();
  sendMessage(ready);
}

void ViewWidget::resizeGL(int, int) {
  Message size{msgSize};
  size.x = deviceWidth();
  size.y = deviceHeight();
  sendMessage(size);
}

void ViewWidget::paintGL() {
  Message paint{msgPaint};
  sendMessage(paint);
}

void ViewWidget::resizeEvent(QResizeEvent* event) {
  QOpenGLWidget::resizeEvent(event);
  centreHint();
}

void ViewWidget::centreHint() {
  if (hint == nullptr) return;
  hint->adjustSize();
  hint->move((width() - hint->width()) / 2, (height() - hint->height()) / 2);
}

void drawingAreaSetHint(std::string_view text) {
  if (mainWindow == nullptr || mainWindow->view == nullptr) return;
  QLabel*& hint = mainWindow->view->hint;
  if (hint == nullptr) {
    hint = new QLabel(mainWindow->view);
    hint->setObjectName("hint");
    hint->setAlignment(Qt::AlignCenter);
    hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Light on a dark band: readable on any background colour.
    hint->setStyleSheet("QLabel { color: white; background: rgba(0, 0, 0, 110); padding: 6px; border-radius: 4px; }");
  }
  hint->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  hint->setVisible(!text.empty());
  mainWindow->view->centreHint();
}

void ViewWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF point = event->position() * devicePixelRatioF();
  if (event->button() == Qt::LeftButton) sendMouse(msgLeftButtonDown, point);
  if (event->button() == Qt::RightButton) sendMouse(msgRightButtonDown, point);
  if (event->button() == Qt::MiddleButton) sendMouse(msgMiddleButtonDown, point);
}

void ViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF point = event->position() * devicePixelRatioF();
  if (event->button() == Qt::LeftButton) sendMouse(msgLeftButtonUp, point);
  if (event->button() == Qt::RightButton) sendMouse(msgRightButtonUp, point);
  if (event->button() == Qt::MiddleButton) sendMouse(msgMiddleButtonUp, point);
}

void ViewWidget::wheelEvent(QWheelEvent* event) {
  Message wheel{msgWheel};
  wheel.y = event->angleDelta().y();
  sendMessage(wheel);
  event->accept();
}

void ViewWidget::mouseMoveEvent(QMouseEvent* event) { sendMouse(msgMouseMove, event->position() * devicePixelRatioF()); }

TesseraWindow::TesseraWindow() {
  setWindowTitle("Tessera");
  setAcceptDrops(true);

  toolBar = addToolBar("Toolbar");
  toolBar->setIconSize(QSize(16, 16));
  for (const ToolbarButton& b : shellLayout.toolbar) {
    if (b.image < 0) {
      toolBar->addSeparator();
      continue;
    }
    QAction* action = toolBar->addAction(toolbarIcon(b.image), shellLayout.tooltip(b.command));
    action->setData(b.command);
    action->setCheckable(b.check);
    const int command = b.command;
    QObject::connect(action, &QAction::triggered, [command] { postMessage(msgCommand, command); });
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

void TesseraWindow::moveEvent(QMoveEvent*) {
  Message move{msgMove};
  sendMessage(move);
}

// A tooltip over a toolbar button asks the shell for its text by command.
bool TesseraWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != toolBar || event->type() != QEvent::ToolTip) return QMainWindow::eventFilter(watched, event);
  auto* help = static_cast<QHelpEvent*>(event);
  QAction* action = toolBar->actionAt(help->pos());
  if (action == nullptr || !action->data().isValid()) return true;
  Message notify{msgNotify};
  notify.command = action->data().toInt();
  sendMessage(notify);
  QToolTip::showText(help->globalPos(), text(notify.reply), toolBar);
  return true;
}

bool windowBusy = false;
bool closeWhenIdle = false;

void TesseraWindow::closeEvent(QCloseEvent* event) {
  if (windowBusy) {
    event->ignore();
    closeWhenIdle = true;
    return;
  }
  event->accept();
  Message destroy{msgDestroy};
  sendMessage(destroy);
}

void TesseraWindow::keyPressEvent(QKeyEvent* event) {
  static const std::pair<int, ViewKey> keys[] = {
      {Qt::Key_Left, keyLeft},     {Qt::Key_Right, keyRight},    {Qt::Key_Up, keyUp},
      {Qt::Key_Down, keyDown},     {Qt::Key_Plus, keyZoomIn},    {Qt::Key_Equal, keyZoomIn},
      {Qt::Key_Minus, keyZoomOut}, {Qt::Key_Escape, keyEscape},
  };
  for (const auto& [qtKey, key] : keys) {
    if (event->key() != qtKey) continue;
    Message message{msgKeyDown};
    message.command = key;
    sendMessage(message);
    return;
  }
  QMainWindow::keyPressEvent(event);
}

bool windowToggleFullScreen() {
  mainWindow->setWindowState(mainWindow->windowState() ^ Qt::WindowFullScreen);
  return windowIsFullScreen();
}

bool windowIsFullScreen() { return (mainWindow->windowState() & Qt::WindowFullScreen) != 0; }

void TesseraWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !windowBusy) event->acceptProposedAction();
}

void TesseraWindow::dropEvent(QDropEvent* event) {
  droppedPaths.clear();
  for (const QUrl& url : event->mimeData()->urls()) droppedPaths << url.toLocalFile();
  event->acceptProposedAction();
  Message drop{msgDropFiles};
  drop.fileCount = static_cast<int>(droppedPaths.size());
  sendMessage(drop);
}

// ---- window-system functions ------------------------------------------------

bool createWindowWidgets(const WindowLayout& windowLayout, int x, int y, int width, int height) {
  shellLayout = windowLayout;
  savedWidth = width;
  savedHeight = height;
  mainWindow = new TesseraWindow;
  const QRect frame = placeOnAScreen(QRect(x, y, width, height));
  savedWidth = frame.width();
  savedHeight = frame.height();
  mainWindow->move(frame.topLeft());
  mainWindow->resize(frame.size());
  return true;
}

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
      mainWindow->resize(savedWidth - extraWidth, savedHeight - extraHeight);
    }
  }
  showWaitingNotices();
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

void platformPostSpin() { postMessage(WM_SPIN, 0); }

void menuAttachFresh() {
  QMenuBar* bar = mainWindow->menuBar();
  bar->clear();
  // The old copy goes once control is back in the event loop: a command
  // may be running from one of its items.
  for (QMenu* old : menu.menus) old->deleteLater();
  menu = MenuState{};
  QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
  for (const MenuItem& item : shellLayout.menu) {
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
    if (item.shortcut != nullptr) action->setShortcut(QKeySequence(item.shortcut));
    const int command = item.command;
    QObject::connect(action, &QAction::triggered, [command] {
      // Qt flips a checkable item on a click; the check mark stays the menu's
      // record until the command itself changes it.
      menuCheck(command, menuIsChecked(command));
      postMessage(msgCommand, command);
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
    QObject::connect(action, &QAction::triggered, [command] { postMessage(msgCommand, command); });
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

void statusSetParts(int edge0) {
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
