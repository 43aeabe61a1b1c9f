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
#include <QSlider>
#include <QProgressBar>
#include <QPushButton>
#include <QLayout>
#include <QTimer>
#include <QHelpEvent>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/window_messages.h"
#include "platform/window_system.h"

QtWindowState qtWindow;

namespace {


// A mouse message at a point in device pixels.
int sendMouse(WindowMessage id, const QPointF& point, Qt::KeyboardModifiers modifiers = {}) {
  Message message{id};
  message.shift = (modifiers & Qt::ShiftModifier) != 0;
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

void windowSetHandler(WindowHandler shellHandler) { qtWindow.handler = shellHandler; }

int sendMessage(Message& message) { return qtWindow.handler != nullptr ? qtWindow.handler(message) : 0; }

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
  Message ready{WindowMessage::DrawingAreaReady};
  ready.contextValid = context() != nullptr && context()->isValid();
  ready.contextCurrent = ready.contextValid && QOpenGLContext::currentContext() == context();
  sendMessage(ready);
}

void ViewWidget::resizeGL(int, int) {
  Message size{WindowMessage::Size};
  size.x = deviceWidth();
  size.y = deviceHeight();
  sendMessage(size);
}

void ViewWidget::paintGL() {
  ++qtWindow.framesDrawn;
  qtWindow.sinceFrame.start();
  Message paint{WindowMessage::Paint};
  sendMessage(paint);
}

unsigned long long windowFramesDrawn() { return qtWindow.framesDrawn; }

int* noticeAnchor() { return qtWindow.noticeAnchor; }

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
  if (qtWindow.mainWindow == nullptr || qtWindow.mainWindow->view == nullptr) return;
  QLabel*& hint = qtWindow.mainWindow->view->hint;
  if (hint == nullptr) {
    hint = new QLabel(qtWindow.mainWindow->view);
    hint->setObjectName("hint");
    hint->setAlignment(Qt::AlignCenter);
    hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Light on a dark band: readable on any background colour.
    hint->setStyleSheet("QLabel { color: white; background: rgba(0, 0, 0, 110); padding: 6px; border-radius: 4px; }");
  }
  hint->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  hint->setVisible(!text.empty());
  qtWindow.mainWindow->view->centreHint();
}

void ViewWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF point = event->position() * devicePixelRatioF();
  if (event->button() == Qt::LeftButton) sendMouse(WindowMessage::LeftButtonDown, point);
  if (event->button() == Qt::RightButton) sendMouse(WindowMessage::RightButtonDown, point);
  if (event->button() == Qt::MiddleButton) sendMouse(WindowMessage::MiddleButtonDown, point);
}

void ViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF point = event->position() * devicePixelRatioF();
  if (event->button() == Qt::LeftButton) sendMouse(WindowMessage::LeftButtonUp, point);
  if (event->button() == Qt::RightButton) sendMouse(WindowMessage::RightButtonUp, point);
  if (event->button() == Qt::MiddleButton) sendMouse(WindowMessage::MiddleButtonUp, point);
}

void ViewWidget::wheelEvent(QWheelEvent* event) {
  Message wheel{WindowMessage::Wheel};
  const QPointF point = event->position() * devicePixelRatioF();
  wheel.x = static_cast<int>(std::lround(point.x()));
  wheel.y = static_cast<int>(std::lround(point.y()));
  wheel.turn = event->angleDelta().y();
  wheel.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  sendMessage(wheel);
  event->accept();
}

void ViewWidget::mouseMoveEvent(QMouseEvent* event) {
  sendMouse(WindowMessage::MouseMove, event->position() * devicePixelRatioF(), event->modifiers());
}

TesseraWindow::TesseraWindow() {
  setWindowTitle("Tessera");
  setAcceptDrops(true);

  toolBar = addToolBar("Toolbar");
  toolBar->setIconSize(QSize(16, 16));
  for (const ToolbarButton& b : qtWindow.shellLayout.toolbar) {
    if (b.image < 0) {
      toolBar->addSeparator();
      continue;
    }
    QAction* action = toolBar->addAction(toolbarIcon(b.image), qtWindow.shellLayout.tooltip(b.command));
    action->setData(b.command);
    action->setCheckable(b.check);
    const int command = b.command;
    QObject::connect(action, &QAction::triggered, [command] { postMessage(WindowMessage::Command, command); });
    qtWindow.buttons[command] = action;
  }

  toolBar->installEventFilter(this);

  // The animation's time: a slider and the time it stands at, shown for
  // models that move.
  animationBar = addToolBar("Animation");
  animationBar->setObjectName("animationBar");
  timeSlider = new QSlider(Qt::Horizontal);
  timeSlider->setObjectName("timeSlider");
  timeSlider->setMinimumWidth(160);
  timeSlider->setFocusPolicy(Qt::NoFocus);  // Space and the frame keys stay with the window
  timeLabel = new QLabel;
  timeLabel->setObjectName("timeLabel");
  animationBar->addWidget(timeSlider);
  animationBar->addWidget(timeLabel);
  animationBar->hide();
  QObject::connect(timeSlider, &QSlider::valueChanged, [](int value) {
    Message moved{WindowMessage::TimeSlider};
    moved.x = value;
    sendMessage(moved);
  });

  statusPart0 = new QLabel;
  statusPart1 = new QLabel;
  statusPart1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addWidget(statusPart0);
  statusBar()->addWidget(statusPart1, 1);
  statusBar()->setSizeGripEnabled(false);
  // As tall as it is with a progress bar and its Cancel button in it, so
  // that the drawing area keeps its size when they show.
  statusBar()->setMinimumHeight(std::max(QPushButton("Cancel").sizeHint().height(), QProgressBar().sizeHint().height()) +
                                2 * statusBar()->layout()->contentsMargins().top());

  view = new ViewWidget(this);
  setCentralWidget(view);
}

void TesseraWindow::moveEvent(QMoveEvent*) {
  Message move{WindowMessage::Move};
  sendMessage(move);
}

// A tooltip over a toolbar button asks the shell for its text by command.
bool TesseraWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != toolBar || event->type() != QEvent::ToolTip) return QMainWindow::eventFilter(watched, event);
  auto* help = static_cast<QHelpEvent*>(event);
  QAction* action = toolBar->actionAt(help->pos());
  if (action == nullptr || !action->data().isValid()) return true;
  Message notify{WindowMessage::Notify};
  notify.command = action->data().toInt();
  sendMessage(notify);
  QToolTip::showText(help->globalPos(), qtText(notify.reply), toolBar);
  return true;
}


void TesseraWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  Message destroy{WindowMessage::Destroy};
  sendMessage(destroy);
}

void TesseraWindow::keyPressEvent(QKeyEvent* event) {
  static const std::pair<int, ViewKey> keys[] = {
      {Qt::Key_Left, ViewKey::Left},     {Qt::Key_Right, ViewKey::Right},    {Qt::Key_Up, ViewKey::Up},
      {Qt::Key_Down, ViewKey::Down},     {Qt::Key_Plus, ViewKey::ZoomIn},    {Qt::Key_Equal, ViewKey::ZoomIn},
      {Qt::Key_Minus, ViewKey::ZoomOut}, {Qt::Key_Escape, ViewKey::Escape},
  };
  for (const auto& [qtKey, key] : keys) {
    if (event->key() != qtKey) continue;
    Message message{WindowMessage::KeyDown};
    message.key = key;
    sendMessage(message);
    return;
  }
  QMainWindow::keyPressEvent(event);
}

bool windowToggleFullScreen() {
  qtWindow.mainWindow->setWindowState(qtWindow.mainWindow->windowState() ^ Qt::WindowFullScreen);
  return windowIsFullScreen();
}

bool windowIsFullScreen() { return (qtWindow.mainWindow->windowState() & Qt::WindowFullScreen) != 0; }

void TesseraWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TesseraWindow::dropEvent(QDropEvent* event) {
  droppedPaths.clear();
  for (const QUrl& url : event->mimeData()->urls()) droppedPaths << url.toLocalFile();
  event->acceptProposedAction();
  Message drop{WindowMessage::DropFiles};
  drop.fileCount = static_cast<int>(droppedPaths.size());
  sendMessage(drop);
}

// ---- window-system functions ------------------------------------------------

bool createWindowWidgets(const WindowLayout& windowLayout, int x, int y, int width, int height) {
  qtWindow.shellLayout = windowLayout;
  qtWindow.savedWidth = width;
  qtWindow.savedHeight = height;
  qtWindow.mainWindow = new TesseraWindow;
  const QRect frame = placeOnAScreen(QRect(x, y, width, height));
  qtWindow.savedWidth = frame.width();
  qtWindow.savedHeight = frame.height();
  qtWindow.mainWindow->move(frame.topLeft());
  qtWindow.mainWindow->resize(frame.size());
  return true;
}

void showMainWindow(bool maximized, bool minimized) {
  if (maximized) {
    qtWindow.mainWindow->showMaximized();
  } else if (minimized) {
    qtWindow.mainWindow->showMinimized();
  } else {
    qtWindow.mainWindow->show();
    // The saved size is the outer frame; the frame is known once shown.
    const QRect frame = qtWindow.mainWindow->frameGeometry(), inner = qtWindow.mainWindow->geometry();
    const int extraWidth = frame.width() - inner.width(), extraHeight = frame.height() - inner.height();
    if (extraWidth > 0 || extraHeight > 0) {
      qtWindow.mainWindow->resize(qtWindow.savedWidth - extraWidth, qtWindow.savedHeight - extraHeight);
    }
  }
  showWaitingNotices();
}

void destroyWindowWidgets() {
  dropBackgroundWork();
  qtWindow.redrawWaiting = false;
  qtWindow.sinceFrame.invalidate();
  qtWindow.buttons.clear();
  qtWindow.menu = MenuState{};
  delete qtWindow.mainWindow;
  qtWindow.mainWindow = nullptr;
}

void timeSliderShow(bool shown) {
  if (qtWindow.mainWindow != nullptr) qtWindow.mainWindow->animationBar->setVisible(shown);
}

void timeSliderSet(int position, int steps, std::string_view label) {
  if (qtWindow.mainWindow == nullptr) return;
  QSlider* slider = qtWindow.mainWindow->timeSlider;
  // Set by the program, not moved by the user: no message back.
  const QSignalBlocker quiet(slider);
  slider->setRange(0, std::max(steps, 0));
  slider->setValue(position);
  qtWindow.mainWindow->timeLabel->setText(qtText(label));
}

void windowSetTitle(std::string_view title) { qtWindow.mainWindow->setWindowTitle(qtText(title)); }

void windowOuterRect(int& x, int& y, int& width, int& height) {
  const QRect frame = qtWindow.mainWindow->frameGeometry();
  x = frame.x();
  y = frame.y();
  width = frame.width();
  height = frame.height();
}

int windowClientWidth() { return qtWindow.mainWindow->width(); }

void windowPostQuit(int code) { QCoreApplication::exit(code); }

int millisecondsToNextRefresh() {
  if (!qtWindow.sinceFrame.isValid() || qtWindow.mainWindow == nullptr) return 0;
  const QScreen* screen = qtWindow.mainWindow->screen();
  const double hertz = std::clamp(screen != nullptr ? screen->refreshRate() : 60.0, 24.0, 240.0);
  // Whole milliseconds down: a frame a hair early is better than one a refresh late.
  const double left = 1000.0 / hertz - static_cast<double>(qtWindow.sinceFrame.nsecsElapsed()) / 1e6;
  return static_cast<int>(std::max(std::floor(left), 0.0));
}

void platformPostSpin() {
  QTimer::singleShot(millisecondsToNextRefresh(), qApp, [] {
    Message message{WindowMessage::Spin};
    sendMessage(message);
  });
}

void platformPostCommand(int command) { postMessage(WindowMessage::Command, command); }

void platformPostSettleCheck(int milliseconds) {
  QTimer::singleShot(std::max(milliseconds, 0), qApp, [] {
    Message message{WindowMessage::SettleCheck};
    sendMessage(message);
  });
}

void drawingAreaMakeCurrent() {
  if (qtWindow.mainWindow != nullptr) qtWindow.mainWindow->view->makeCurrent();
}

void drawingAreaDoneCurrent() {
  if (qtWindow.mainWindow != nullptr) qtWindow.mainWindow->view->doneCurrent();
}

void statusSetParts(int edge0) {
  // Part 0 reaches edge0; part 1 takes the rest of the bar.
  if (edge0 > 0) qtWindow.mainWindow->statusPart0->setFixedWidth(edge0);
}

void statusSetText(int part, std::string_view value) {
  QLabel* label = part == 0 ? qtWindow.mainWindow->statusPart0 : qtWindow.mainWindow->statusPart1;
  label->setText(qtText(value));
}

std::string statusText(int part) {
  const QLabel* label = part == 0 ? qtWindow.mainWindow->statusPart0 : qtWindow.mainWindow->statusPart1;
  return label->text().toStdString();
}

std::string droppedFilePath(int index) {
  if (qtWindow.mainWindow == nullptr || index < 0 || index >= qtWindow.mainWindow->droppedPaths.size()) return {};
  return qtWindow.mainWindow->droppedPaths[index].toStdString();
}
