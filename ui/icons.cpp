#include "ui/icons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vandrel::ui {
namespace {

const QColor kOutline(60, 60, 70);

// A sheet of paper with a folded corner.
void DrawPage(QPainter& p, const QRectF& r) {
  const qreal fold = r.width() * 0.3;
  QPainterPath page;
  page.moveTo(r.topLeft());
  page.lineTo(r.right() - fold, r.top());
  page.lineTo(r.right(), r.top() + fold);
  page.lineTo(r.bottomRight());
  page.lineTo(r.bottomLeft());
  page.closeSubpath();
  p.setPen(QPen(kOutline, 1.2));
  p.setBrush(Qt::white);
  p.drawPath(page);
  QPainterPath corner;
  corner.moveTo(r.right() - fold, r.top());
  corner.lineTo(r.right() - fold, r.top() + fold);
  corner.lineTo(r.right(), r.top() + fold);
  p.setBrush(QColor(215, 220, 230));
  p.drawPath(corner);
}

void DrawAnalyse(QPainter& p) {
  DrawPage(p, QRectF(4, 2, 19, 25));
  // A "C" on the page.
  p.setPen(QPen(QColor(30, 90, 190), 2.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(7, 8, 11, 12), 45 * 16, 270 * 16);
  // The magnifying glass.
  p.setPen(QPen(QColor(90, 60, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(25, 25), QPointF(30, 30));
  p.setPen(QPen(kOutline, 2));
  p.setBrush(QColor(170, 215, 255, 200));
  p.drawEllipse(QRectF(15, 14, 12, 12));
}

void DrawBusy(QPainter& p) {
  p.setPen(QPen(kOutline, 1.5));
  p.setBrush(QColor(150, 110, 60));
  p.drawRect(QRectF(7, 3, 18, 3));
  p.drawRect(QRectF(7, 26, 18, 3));
  QPainterPath glass;
  glass.moveTo(9, 6);
  glass.lineTo(23, 6);
  glass.lineTo(17, 16);
  glass.lineTo(23, 26);
  glass.lineTo(9, 26);
  glass.lineTo(15, 16);
  glass.closeSubpath();
  p.setBrush(QColor(220, 240, 255));
  p.drawPath(glass);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(235, 190, 80));
  p.drawPolygon(QPolygonF({QPointF(12, 10), QPointF(20, 10), QPointF(16, 15)}));
  p.drawPolygon(QPolygonF({QPointF(16, 19), QPointF(21, 25), QPointF(11, 25)}));
}

void DrawDesignDoc(QPainter& p) {
  const QRectF sheet(3, 5, 26, 22);
  p.setPen(QPen(kOutline, 1.2));
  p.setBrush(Qt::white);
  p.drawRect(sheet);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 130, 70));
  p.drawRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 5));
  p.setPen(QPen(QColor(120, 170, 130), 1));
  for (qreal y = sheet.top() + 9.5; y < sheet.bottom(); y += 4.5)
    p.drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
  for (qreal x = sheet.left() + 8; x < sheet.right(); x += 8)
    p.drawLine(QPointF(x, sheet.top() + 5), QPointF(x, sheet.bottom()));
}

void DrawVariable(QPainter& p) {
  // A memory chip with its pins.
  p.setPen(QPen(kOutline, 1.5));
  for (int i = 0; i < 4; ++i) {
    qreal x = 9 + i * 4.7;
    p.drawLine(QPointF(x, 3), QPointF(x, 8));
    p.drawLine(QPointF(x, 24), QPointF(x, 29));
  }
  p.setBrush(QColor(110, 70, 160));
  p.drawRoundedRect(QRectF(5, 8, 22, 16), 2, 2);
  // Read and write arrows on the chip.
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(9, 13), QPointF(21, 13));
  p.drawLine(QPointF(18, 10.5), QPointF(21, 13));
  p.drawLine(QPointF(18, 15.5), QPointF(21, 13));
  p.drawLine(QPointF(11, 19), QPointF(23, 19));
  p.drawLine(QPointF(14, 16.5), QPointF(11, 19));
  p.drawLine(QPointF(14, 21.5), QPointF(11, 19));
}

void DrawFolder(QPainter& p) {
  p.setPen(QPen(QColor(150, 110, 20), 1.2));
  p.setBrush(QColor(235, 190, 70));
  QPainterPath back;
  back.moveTo(3, 8);
  back.lineTo(12, 8);
  back.lineTo(15, 11);
  back.lineTo(29, 11);
  back.lineTo(29, 26);
  back.lineTo(3, 26);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(QColor(250, 215, 110));
  p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(7, 15), QPointF(31, 15), QPointF(29, 26)}));
}

void DrawFunctionTree(QPainter& p) {
  p.setPen(QPen(kOutline, 1.5));
  p.drawLine(QPointF(9, 11), QPointF(9, 24));
  p.drawLine(QPointF(9, 16), QPointF(17, 16));
  p.drawLine(QPointF(9, 24), QPointF(17, 24));
  p.setPen(QPen(kOutline, 1.2));
  p.setBrush(QColor(30, 90, 190));
  p.drawRect(QRectF(3, 3, 12, 8));
  p.setBrush(QColor(80, 170, 230));
  p.drawRect(QRectF(17, 12, 12, 8));
  p.drawRect(QRectF(17, 21, 12, 8));
}

}  // namespace

QImage RenderIcon(IconId id, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  switch (id) {
    case IconId::Analyse: DrawAnalyse(p); break;
    case IconId::Busy: DrawBusy(p); break;
    case IconId::DesignDoc: DrawDesignDoc(p); break;
    case IconId::Variable: DrawVariable(p); break;
    case IconId::Folder: DrawFolder(p); break;
    case IconId::FunctionTree: DrawFunctionTree(p); break;
  }
  return image;
}

QIcon MakeIcon(IconId id) {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(RenderIcon(id, size)));
  return icon;
}

}  // namespace vandrel::ui
