#include "tarvo/app/ClickableImage.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace tarvo {

ClickableImage::ClickableImage(const QPixmap& picture, QWidget* parent)
    : QLabel(parent) {
    setPixmap(picture);
    setCursor(Qt::PointingHandCursor);
}

void ClickableImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

QPixmap BannerPicture() {
    QPixmap picture(960, 110);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, 960, 110);
    gradient.setColorAt(0, QColor(178, 24, 36));
    gradient.setColorAt(1, QColor(236, 120, 32));
    painter.fillRect(picture.rect(), gradient);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 214, 64));
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        painter.drawEllipse(QPoint(640 + 62 * i, 55), 24, 24);
    QFont font = painter.font();
    font.setPixelSize(36);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(32, 0, 600, 110), Qt::AlignVCenter | Qt::AlignLeft, u"Tarvo 11选5 精准计划"_s);
    painter.setPen(QColor(140, 20, 20));
    font.setPixelSize(20);
    painter.setFont(font);
    const QStringList balls = {u"03"_s, u"07"_s, u"01"_s, u"10"_s, u"11"_s};
    for (int i = 0; i < 5; ++i)
        painter.drawText(QRect(616 + 62 * i, 31, 48, 48), Qt::AlignCenter, balls[i]);
    return picture;
}

QPixmap ChatPicture() {
    QPixmap picture(139, 29);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(18, 150, 219));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRect(6, 5, 26, 19));
    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(38, 0, 100, 29), Qt::AlignVCenter | Qt::AlignLeft, u"在线咨询"_s);
    return picture;
}

} // namespace tarvo
