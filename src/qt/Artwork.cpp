#include "qt/Artwork.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <random>

namespace tarnwick {

namespace {

const QColor kNight(14, 22, 44);
const QColor kDusk(58, 38, 74);
const QColor kEmber(232, 140, 48);
const QColor kStone(188, 196, 210);

// The emblem: a stone tower (a "tarn" watch-post) over a volume's stacked
// pages, inside a shield-like disc.
void DrawEmblem(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = r.width();
    QRadialGradient disc(r.center(), s / 2);
    disc.setColorAt(0, QColor(70, 92, 140));
    disc.setColorAt(1, kNight);
    p.setPen(QPen(kEmber, qMax<qreal>(1.0, s / 20)));
    p.setBrush(disc);
    p.drawEllipse(r.adjusted(s / 40, s / 40, -s / 40, -s / 40));

    // Pages of the volume.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        QRectF page(r.left() + s * 0.22, r.top() + s * (0.62 + 0.07 * i), s * 0.56, s * 0.06);
        p.setBrush(i == 0 ? kEmber : kStone.darker(110 + 15 * i));
        p.drawRoundedRect(page, s * 0.02, s * 0.02);
    }
    // The tower.
    QPainterPath tower;
    const qreal l = r.left() + s * 0.36, w = s * 0.28, top = r.top() + s * 0.24, base = r.top() + s * 0.6;
    tower.moveTo(l, base);
    tower.lineTo(l, top);
    const qreal merlon = w / 5;
    for (int i = 0; i < 5; ++i) {
        const qreal x = l + i * merlon;
        const qreal y = (i % 2 == 0) ? top - s * 0.06 : top;
        tower.lineTo(x, y);
        tower.lineTo(x + merlon, y);
    }
    tower.lineTo(l + w, base);
    tower.closeSubpath();
    p.setBrush(kStone);
    p.drawPath(tower);
    p.setBrush(kEmber);
    p.drawRect(QRectF(l + w * 0.38, top + s * 0.1, w * 0.24, s * 0.12));
    p.restore();
}

} // namespace

QPixmap SplashPicture()
{
    QPixmap pic(400, 200);
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, kNight);
    sky.setColorAt(0.7, kDusk);
    sky.setColorAt(1, QColor(120, 60, 40));
    p.fillRect(pic.rect(), sky);

    // Stars, the same every run.
    std::mt19937 rng(1999);
    std::uniform_int_distribution<int> x(0, 399), y(0, 120), a(60, 220);
    for (int i = 0; i < 90; ++i) {
        p.setPen(QColor(255, 255, 255, a(rng)));
        p.drawPoint(x(rng), y(rng));
    }
    // Hills on the horizon.
    QPainterPath hills;
    hills.moveTo(0, 200);
    hills.lineTo(0, 160);
    hills.cubicTo(80, 130, 140, 175, 220, 150);
    hills.cubicTo(290, 128, 340, 160, 400, 140);
    hills.lineTo(400, 200);
    p.fillPath(hills, QColor(10, 14, 26));

    DrawEmblem(p, QRectF(28, 40, 110, 110));

    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QRectF(158, 62, 240, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tarnwick"));
    p.setPen(kStone.lighter(115));
    p.drawText(QRectF(156, 60, 240, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tarnwick"));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(12);
    p.setFont(sub);
    p.setPen(kEmber);
    p.drawText(QRectF(158, 116, 240, 18), Qt::AlignLeft, QStringLiteral("Volume browser for Starsiege: Tribes"));
    p.setPen(kStone);
    p.drawText(QRectF(158, 134, 240, 18), Qt::AlignLeft, QStringLiteral("Cairnix Suite"));
    p.setPen(QPen(kEmber, 1));
    p.drawLine(158, 114, 380, 114);
    return pic;
}

QPixmap EmblemPicture(int size)
{
    QPixmap pic(size, size);
    pic.fill(Qt::transparent);
    QPainter p(&pic);
    DrawEmblem(p, QRectF(0, 0, size, size));
    return pic;
}

QPixmap VolumeFilePicture(int size)
{
    QPixmap pic(size, size);
    pic.fill(Qt::transparent);
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing);
    // A sheet with its top right corner turned down, as the shell draws a
    // document; the emblem on it tells whose document it is.
    const qreal s = size, fold = s * 0.28, l = s * 0.14, r = s * 0.86, t = s * 0.04, b = s * 0.96;
    QPainterPath sheet;
    sheet.moveTo(l, t);
    sheet.lineTo(r - fold, t);
    sheet.lineTo(r, t + fold);
    sheet.lineTo(r, b);
    sheet.lineTo(l, b);
    sheet.closeSubpath();
    p.setPen(QPen(kNight, qMax<qreal>(1.0, s / 32)));
    p.setBrush(QColor(246, 244, 238));
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r - fold, t);
    corner.lineTo(r - fold, t + fold);
    corner.lineTo(r, t + fold);
    corner.closeSubpath();
    p.setBrush(kStone);
    p.drawPath(corner);
    const qreal e = s * 0.62;
    DrawEmblem(p, QRectF((s - e) / 2, b - e - s * 0.06, e, e));
    return pic;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(EmblemPicture(size));
    return icon;
}

QByteArray ProgramIconPng(int size)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    EmblemPicture(size).save(&buffer, "PNG");
    return png;
}

} // namespace tarnwick
