// The notices and the About box: frameless, thin-bordered, white, topmost
// and modeless. One notice window lists every failure not yet dismissed, an
// entry each (heading, sentence, then the file and the reason): notices of
// one turn of the event loop or of one batch (a drop, the start-up) appear
// together, and later ones join the window while it is open. OK, Enter or
// Escape dismisses it. Dialog units become pixels at 1.5 across and 1.625
// down.
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "platform/platform.h"
#include "platform/qt/qt_window.h"

namespace {

QRect units(double x, double y, double width, double height) {
  return QRect(static_cast<int>(std::lround(x * 1.5)), static_cast<int>(std::lround(y * 1.625)),
               static_cast<int>(std::lround(width * 1.5)), static_cast<int>(std::lround(height * 1.625)));
}

// Past this the entries scroll, so fifty bad files still fit on the screen.
constexpr int kTallestEntries = 420;

// A dialog, so that it takes the keyboard: Enter presses its default
// button, Escape closes it.
class Box : public QDialog {
 public:
  explicit Box(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Tessera");
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Button, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    QFont font("Sans");
    font.setPointSize(8);
    setFont(font);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }

  QPushButton* addButton(const char* caption) {
    auto* button = new QPushButton(caption, this);
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, this, &QWidget::close);
    return button;
  }

  QLabel* addText(QWidget* parent, const QString& value, bool bold = false) {
    auto* label = new QLabel(value, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    if (bold) {
      QFont heading = font();
      heading.setBold(true);
      heading.setPointSize(11);
      label->setFont(heading);
    }
    return label;
  }
};

class AboutBox : public Box {
 public:
  explicit AboutBox(QWidget* owner) : Box(owner) {
    setObjectName("aboutBox");
    setProperty("noticeText", qtText(noticeText(NoticeKind::About)));
    setFixedSize(units(0, 0, 174, 126).size());
    auto* logo = new QLabel(this);
    logo->setPixmap(aboutLogo(devicePixelRatioF()));
    logo->setGeometry(QRect(units(22, 4, 0, 0).topLeft(), QSize(188, 59)));
    addText(this, "v1.2 Beta")->setGeometry(units(67, 42, 36, 8));
    addText(this, "A viewer for polygonal 3D models")->setGeometry(units(9, 55, 156, 10));
    addText(this, "Tessera developers")->setGeometry(units(44, 75, 86, 8));
    addText(this, "Source and issues: the project's repository")->setGeometry(units(8, 87, 159, 8));
    addButton("Get rid of this thing")->setGeometry(units(45, 105, 82, 14));
  }
};

class NoticeWindow : public Box {
 public:
  explicit NoticeWindow(QWidget* owner) : Box(owner) {
    setObjectName("noticeBox");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, units(0, 4, 0, 0).y(), 1, units(0, 4, 0, 0).y());
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(true);
    auto* entries = new QWidget(scroll_);
    entries_ = new QVBoxLayout(entries);
    entries_->setContentsMargins(0, 0, 0, 0);
    scroll_->setWidget(entries);
    layout->addWidget(scroll_);
    ok_ = addButton("OK");
    ok_->setFixedSize(units(0, 0, 50, 14).size());
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    setFixedWidth(units(0, 0, 164, 0).width());
  }

  // The kind's heading over its sentence, then the details (the file and
  // the reason), below a line when other entries stand above.
  void add(NoticeKind kind, const QString& details) {
    if (entries_->count() > 0) {
      auto* rule = new QFrame(scroll_->widget());
      rule->setFrameShape(QFrame::HLine);
      entries_->addWidget(rule);
    }
    auto* entry = new QWidget(scroll_->widget());
    entry->setObjectName("noticeEntry");
    entry->setProperty("noticeText", qtText(noticeText(kind)));
    entry->setProperty("noticeDetails", details);
    auto* lines = new QVBoxLayout(entry);
    lines->setContentsMargins(units(4, 0, 0, 0).x(), 0, units(4, 0, 0, 0).x(), 0);
    lines->addWidget(addText(entry, qtText(noticeHeading(kind)), true));
    lines->addWidget(addText(entry, qtText(noticeSentence(kind))));
    if (!details.isEmpty()) {
      QLabel* label = addText(entry, details);
      label->setTextInteractionFlags(Qt::TextSelectableByMouse);
      lines->addWidget(label);
    }
    entries_->addWidget(entry);
    last_ = entry;
  }

  // As tall as the entries, up to the bound and the screen, whole on the
  // screen; the newest entry in view.
  void fit(const QPoint& at) {
    const QRect screen = (qtWindow.mainWindow != nullptr ? qtWindow.mainWindow->screen() : this->screen())->availableGeometry();
    const QMargins margins = layout()->contentsMargins();
    const int around = margins.top() + margins.bottom() + layout()->spacing() + ok_->height();
    const int tallest = std::max(std::min(kTallestEntries, screen.height() - around), 60);
    QWidget* entries = scroll_->widget();
    const int inside = width() - 2;
    int needed = entries->heightForWidth(inside);
    const bool scrolls = needed > tallest;
    if (scrolls) needed = entries->heightForWidth(inside - scroll_->verticalScrollBar()->sizeHint().width());
    scroll_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    scroll_->setFixedHeight(std::min(needed, tallest));
    adjustSize();
    move(at.x(), std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - height())));
    // Once the entries are laid out at their new size.
    QTimer::singleShot(0, this, [this] {
      if (last_ != nullptr) scroll_->ensureWidgetVisible(last_, 0, 0);
    });
  }

 private:
  QScrollArea* scroll_ = nullptr;
  QVBoxLayout* entries_ = nullptr;
  QPushButton* ok_ = nullptr;
  QWidget* last_ = nullptr;
};

// Puts every notice waiting into the open notice window, or a new one, and
// brings it forward with the keyboard; nothing while a batch gathers them or
// before the main window is on screen (they would stand behind it).
void showPendingNotices() {
  qtWindow.noticesPosted = false;
  if (qtWindow.pendingNotices.empty() || qtWindow.noticeGathering > 0) return;
  if (qtWindow.mainWindow == nullptr || !qtWindow.mainWindow->isVisible()) return;
  auto* window = static_cast<NoticeWindow*>(qtWindow.noticeWindow.data());
  QPoint at;
  if (window == nullptr) {
    window = new NoticeWindow(qtWindow.mainWindow);
    noticePosition(at.rx(), at.ry());
    qtWindow.noticeWindow = window;
  } else {
    at = window->pos();
  }
  for (const auto& [kind, details] : qtWindow.pendingNotices) window->add(kind, details);
  qtWindow.pendingNotices.clear();
  window->fit(at);
  window->show();
  window->raise();
  window->activateWindow();
}

void postPendingNotices() {
  if (qtWindow.noticesPosted) return;
  qtWindow.noticesPosted = true;
  QTimer::singleShot(0, showPendingNotices);
}

}  // namespace

void platformShowNotice(NoticeKind kind, std::string_view details) {
  if (kind == NoticeKind::About) {
    auto* box = new AboutBox(qtWindow.mainWindow);
    int x = 0, y = 0;
    noticePosition(x, y);
    box->move(x, y);
    box->show();
    return;
  }
  qtWindow.pendingNotices.emplace_back(kind, QString::fromUtf8(details.data(), static_cast<qsizetype>(details.size())));
  postPendingNotices();
}

NoticeGathering::NoticeGathering() { ++qtWindow.noticeGathering; }

NoticeGathering::~NoticeGathering() {
  if (--qtWindow.noticeGathering == 0 && !qtWindow.pendingNotices.empty()) postPendingNotices();
}

void showWaitingNotices() { showPendingNotices(); }
