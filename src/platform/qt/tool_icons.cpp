// The eleven toolbar pictures and the About box's logo, drawn in code so
// they stay crisp at any device pixel ratio.
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

#include "platform/qt/qt_window.h"

namespace {

void drawFolder(QPainter& p, QColor body, QColor flap, bool open) {
  p.setPen(QPen(body.darker(160), 0.8));
  p.setBrush(body);
  p.drawRect(QRectF(1.5, 4.5, 12, 9));
  p.drawRect(QRectF(1.5, 3, 5, 2));
  p.setBrush(flap);
  if (open) {
    QPolygonF front{{3.5, 7.5}, {15, 7.5}, {13, 13.5}, {1.5, 13.5}};
    p.drawPolygon(front);
  }
}

// Corners of a cube seen a little from the right and above.
const QPointF kFront[4] = {{2, 6}, {10, 6}, {10, 14}, {2, 14}};
const QPointF kBack[4] = {{6, 2}, {14, 2}, {14, 10}, {6, 10}};

void drawCube(QPainter& p, bool allEdges, bool filled) {
  p.setPen(QPen(Qt::black, 1.0));
  if (filled) {
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF{kFront[0], kBack[0], kBack[1], kBack[2], kFront[2], kFront[3]});
    return;
  }
  p.setBrush(Qt::NoBrush);
  p.drawPolygon(QPolygonF{kFront[0], kFront[1], kFront[2], kFront[3]});
  // The top and right faces show; the three edges at the back corner do not.
  p.drawPolyline(QPolygonF{kFront[0], kBack[0], kBack[1], kBack[2], kFront[2]});
  p.drawLine(kFront[1], kBack[1]);
  if (allEdges) p.drawPolyline(QPolygonF{kBack[0], kBack[3], kBack[2]}), p.drawLine(kBack[3], kFront[3]);
}

void drawLetters(QPainter& p, const char* letters) {
  QFont font("Sans");
  font.setPixelSize(9);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0, 0, 200));
  p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, letters);
}

void drawAxes(QPainter& p) {
  const QPointF origin(5, 11);
  p.setPen(QPen(Qt::red, 1.5));
  p.drawLine(origin, QPointF(15, 11));
  p.setPen(QPen(QColor(0, 160, 0), 1.5));
  p.drawLine(origin, QPointF(5, 1));
  p.setPen(QPen(Qt::blue, 1.5));
  p.drawLine(origin, QPointF(1, 15));
}

void drawBox(QPainter& p) {
  p.setPen(QPen(QColor(90, 90, 90), 2.0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(3, 3, 10, 10));
  p.setPen(QPen(Qt::white, 1.0));
  p.drawRect(QRectF(3, 3, 10, 10));
}

void drawDisc(QPainter& p) {
  p.setPen(QPen(QColor(160, 130, 0), 0.8));
  p.setBrush(QColor(235, 205, 0));
  p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
}

void drawTurningArrows(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  p.setBrush(Qt::NoBrush);
  const QRectF circle(2, 2, 12, 12);
  p.drawArc(circle, 30 * 16, 140 * 16);
  p.drawArc(circle, 210 * 16, 140 * 16);
  p.setBrush(QColor(40, 40, 40));
  p.drawPolygon(QPolygonF{{1.0, 7.0}, {4.5, 7.0}, {2.6, 9.8}});
  p.drawPolygon(QPolygonF{{15.0, 9.0}, {11.5, 9.0}, {13.4, 6.2}});
}

void drawImage(QPainter& p, int image) {
  switch (image) {
    case 0: drawFolder(p, QColor(240, 200, 40), QColor(255, 225, 90), true); break;
    case 1:
      drawFolder(p, QColor(110, 110, 40), QColor(110, 110, 40), false);
      p.setPen(QPen(Qt::white, 1.2));
      p.drawLine(QPointF(5, 9), QPointF(11, 9));
      p.drawLine(QPointF(9, 7), QPointF(11, 9));
      p.drawLine(QPointF(9, 11), QPointF(11, 9));
      break;
    case 2: drawCube(p, true, false); break;
    case 3: drawCube(p, false, false); break;
    case 4: drawCube(p, false, true); break;
    case 5: drawLetters(p, "FC"); break;
    case 6: drawLetters(p, "BC"); break;
    case 7: drawAxes(p); break;
    case 8: drawBox(p); break;
    case 9: drawDisc(p); break;
    case 10: drawTurningArrows(p); break;
    default: break;
  }
}

}  // namespace

QIcon toolbarIcon(int image) {
  QIcon icon;
  for (double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
    const int side = static_cast<int>(16 * ratio + 0.5);
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawImage(painter, image);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QPixmap aboutLogo(double ratio) {
  QPixmap pixmap(static_cast<int>(188 * ratio), static_cast<int>(59 * ratio));
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // A tessellated tile beside the name.
  const QColor shades[4] = {QColor(0, 128, 255), QColor(0, 90, 200), QColor(90, 170, 255), QColor(0, 60, 150)};
  const QPointF c(29, 29.5);
  for (int k = 0; k < 6; ++k) {
    const double a0 = k * 3.14159265 / 3, a1 = (k + 1) * 3.14159265 / 3;
    QPolygonF slice{c, c + QPointF(24 * std::cos(a0), 24 * std::sin(a0)), c + QPointF(24 * std::cos(a1), 24 * std::sin(a1))};
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(shades[k % 4]);
    p.drawPolygon(slice);
  }
  QFont font("Sans");
  font.setPixelSize(30);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0, 60, 150));
  p.drawText(QRectF(58, 0, 130, 59), Qt::AlignVCenter | Qt::AlignLeft, "Tessera");
  return pixmap;
}
