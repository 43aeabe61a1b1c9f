#pragma once
// The Qt widgets behind the window-system functions: the main window, its
// GL drawing area, and the notice boxes.

#include <QMainWindow>
#include <QMenu>
#include <QDialog>
#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <QPointer>
#include <QStringList>

#include <map>
#include <memory>
#include <utility>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/window_messages.h"
#include "platform/window_system.h"

class QLabel;
class QToolBar;
class QSlider;
class QAction;
struct BackgroundWork;

// The drawing area: every Qt event becomes a message for the shell.
class ViewWidget : public QOpenGLWidget {
 public:
  explicit ViewWidget(QWidget* parent);
  // The drawing area's size in device pixels.
  int deviceWidth() const;
  int deviceHeight() const;
  // A line over the middle of the frame: a widget of its own, so that it is
  // never part of the frame GL draws, which is what is exported.
  QLabel* hint = nullptr;
  void centreHint();

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

class TesseraWindow : public QMainWindow {
 public:
  TesseraWindow();
  ViewWidget* view = nullptr;
  QToolBar* toolBar = nullptr;
  QToolBar* animationBar = nullptr;  // the time slider and its label
  QSlider* timeSlider = nullptr;
  QLabel* timeLabel = nullptr;
  QLabel* statusPart0 = nullptr;
  QLabel* statusPart1 = nullptr;
  QStringList droppedPaths;

 protected:
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// The menus as built from the shell's template.
struct MenuState {
  std::map<int, QAction*> actions;  // by command number
  std::map<int, QMenu*> owners;     // the popup holding each command
  std::map<QString, QMenu*> popups; // by caption
  std::vector<QMenu*> menus;        // this copy's popups, released with it
};

// The Qt window system's whole state: one window per run, reached from Qt's
// callbacks, which carry nothing of ours.
struct QtWindowState {
  TesseraWindow* mainWindow = nullptr;  // while it exists
  std::shared_ptr<BackgroundWork> work;  // whose end is awaited
  unsigned long long framesDrawn = 0;
  QElapsedTimer sinceFrame;    // since the last frame began
  bool redrawWaiting = false;  // a redraw is held back to the next refresh
  MenuState menu;
  std::map<int, QAction*> buttons;  // toolbar actions by command 1..11
  WindowLayout shellLayout;
  WindowHandler handler = nullptr;
  int savedWidth = 0, savedHeight = 0;  // the outer size asked for at creation
  int noticeAnchor[4] = {0, 0, 0, 0};   // where notices are placed
  // Notices not on screen yet: raised in this turn of the event loop, in a
  // batch still gathering them, or before the window showed.
  std::vector<std::pair<NoticeKind, QString>> pendingNotices;
  bool noticesPosted = false;
  int noticeGathering = 0;
  QPointer<QDialog> noticeWindow;  // while it is open
  // Tests set these in place of the modal dialogs.
  FileChooserHook fileChooserHook = nullptr;
  ColorChooserHook colorChooserHook = nullptr;
  MessageBoxHook messageBoxHook = nullptr;
};
extern QtWindowState qtWindow;

// Our UTF-8 text as Qt takes it.
inline QString qtText(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// How long until the display's next refresh after the last frame began; 0
// when it is due.
int millisecondsToNextRefresh();

// Hands a message to the shell's handler now.
int sendMessage(Message& message);
// Sends a message once control is back in the event loop, so a command
// never runs inside the signal of a menu it may rebuild.
void postMessage(WindowMessage id, int command);

// The toolbar's pictures, drawn in code, crisp at any device pixel ratio.
class QIcon;
QIcon toolbarIcon(int image);

// Shows the notices asked for before the main window was on screen, above it.
void showWaitingNotices();

// The About box's logo, 188 x 59 pixels.
class QPixmap;
QPixmap aboutLogo(double devicePixelRatio);
