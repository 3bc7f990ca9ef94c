#include "tarvo/app/ClickableImage.h"

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
