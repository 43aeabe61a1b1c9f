#pragma once
// The Qt widgets behind the window-system functions: the main window, its
// GL drawing area, and the notice boxes.

#include <QMainWindow>
#include <QOpenGLWidget>
#include <QStringList>

class QLabel;
class QToolBar;
class QAction;

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

// The main window while it exists.
extern TesseraWindow* mainWindow;

// While long work runs beside the event loop the window draws but takes no
// drop, and a request to close it waits for the work to end.
extern bool windowBusy;
extern bool closeWhenIdle;

struct Message;
enum WindowMessage : int;
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
