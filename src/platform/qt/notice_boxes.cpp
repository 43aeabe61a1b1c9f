// The notice boxes (missing file, unknown format) and the About box:
// frameless, thin-bordered, white, topmost and modeless, each failure a box
// of its own. Dialog units become pixels at 1.5 across and 1.625 down.
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include <cmath>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/qt_window.h"

namespace {

QRect units(double x, double y, double width, double height) {
  return QRect(static_cast<int>(std::lround(x * 1.5)), static_cast<int>(std::lround(y * 1.625)),
               static_cast<int>(std::lround(width * 1.5)), static_cast<int>(std::lround(height * 1.625)));
}

class NoticeBox : public QWidget {
 public:
  NoticeBox(QWidget* owner, NoticeKind kind, const QString& details)
      : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(kind == NoticeKind::About ? "aboutBox" : "noticeBox");
    setProperty("noticeText", qtText(noticeText(kind)));
    setProperty("noticeDetails", details);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Button, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    QFont font("Sans");
    font.setPointSize(8);
    setFont(font);
    if (kind == NoticeKind::About) {
      buildAbout();
    } else {
      buildNotice(kind, details);
    }
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  void addButton(const char* caption, const QRect& at) {
    auto* button = new QPushButton(caption, this);
    button->setGeometry(at);
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, this, &QWidget::close);
  }

  void addText(const QString& value, const QRect& at, bool bold = false) {
    auto* label = new QLabel(value, this);
    label->setGeometry(at);
    label->setAlignment(Qt::AlignCenter);
    if (bold) {
      QFont heading = font();
      heading.setBold(true);
      heading.setPointSize(11);
      label->setFont(heading);
    }
  }

  // The notices' words as text: the heading over its line, then the file
  // and the reason, the box growing downward to hold them.
  void buildNotice(NoticeKind kind, const QString& details) {
    addText(qtText(noticeHeading(kind)), units(0, 4, 164, 16), true);
    addText(qtText(noticeSentence(kind)), units(0, 22, 164, 12));
    int extra = 0;
    if (!details.isEmpty()) {
      auto* label = new QLabel(details, this);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignCenter);
      label->setTextInteractionFlags(Qt::TextSelectableByMouse);
      const QRect area = units(4, 36, 156, 0);
      extra = label->heightForWidth(area.width()) + 6;
      label->setGeometry(area.x(), area.y(), area.width(), extra - 6);
    }
    setFixedSize(units(0, 0, 164, 56).size() + QSize(0, extra));
    addButton("OK", units(55, 38, 50, 14).translated(0, extra));
  }


  void buildAbout() {
    setFixedSize(units(0, 0, 174, 126).size());
    auto* logo = new QLabel(this);
    logo->setPixmap(aboutLogo(devicePixelRatioF()));
    logo->setGeometry(QRect(units(22, 4, 0, 0).topLeft(), QSize(188, 59)));
    addText("v1.2 Beta", units(67, 42, 36, 8));
    addText("A viewer for polygonal 3D models", units(9, 55, 156, 10));
    addText("Tessera developers", units(44, 75, 86, 8));
    addText("Source and issues: the project's repository", units(8, 87, 159, 8));
    addButton("Get rid of this thing", units(45, 105, 82, 14));
  }
};

}  // namespace

std::vector<QWidget*>& waitingNotices() { return qtWindow.waitingNotices; }

void platformShowNotice(NoticeKind kind, std::string_view details) {
  int x = 0, y = 0;
  noticePosition(x, y);
  auto* box = new NoticeBox(qtWindow.mainWindow, kind,
                            QString::fromUtf8(details.data(), static_cast<qsizetype>(details.size())));
  box->move(x, y);
  // Before the main window exists a box waits: shown first, it would stand
  // behind the window that appears after it.
  if (qtWindow.mainWindow == nullptr || !qtWindow.mainWindow->isVisible()) {
    waitingNotices().push_back(box);
    return;
  }
  box->show();
}

void showWaitingNotices() {
  for (QWidget* box : waitingNotices()) {
    if (qtWindow.mainWindow != nullptr) {
      const QPoint at = box->pos();
      box->setParent(qtWindow.mainWindow, box->windowFlags());
      box->move(at);
    }
    box->show();
    box->raise();
  }
  waitingNotices().clear();
}
