#include "tarvo/app/DrawBanner.h"

#include "tarvo/store/DrawRow.h"

#include <QLinearGradient>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr QSize BannerSize(960, 110);
constexpr int BallRadius = 24;
constexpr int FirstBallX = 640;
constexpr int BallSpacing = 62;
constexpr int BallY = 55;

void PaintBackground(QPainter& painter) {
    QLinearGradient gradient(0, 0, BannerSize.width(), BannerSize.height());
    gradient.setColorAt(0, QColor(178, 24, 36));
    gradient.setColorAt(1, QColor(236, 120, 32));
    painter.fillRect(QRect(QPoint(0, 0), BannerSize), gradient);
}

void PaintTitle(QPainter& painter) {
    QFont font = painter.font();
    font.setPixelSize(36);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(32, 0, 600, 110), Qt::AlignVCenter | Qt::AlignLeft, u"Tarvo 11选5 精准计划"_s);
}

void PaintDraw(QPainter& painter, const Draw& draw) {
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const int ballsLeft = FirstBallX - BallRadius;
    painter.drawText(QRect(ballsLeft - 200, 0, 188, 110), Qt::AlignVCenter | Qt::AlignRight, u"第%1期"_s.arg(draw[0]));
    for (int i = 0; i < 5; ++i) {
        const QPoint centre(FirstBallX + BallSpacing * i, BallY);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 214, 64));
        painter.drawEllipse(centre, BallRadius, BallRadius);
        painter.setPen(QColor(140, 20, 20));
        painter.drawText(QRect(centre - QPoint(BallRadius, BallRadius), QSize(2 * BallRadius, 2 * BallRadius)),
                         Qt::AlignCenter, GameNumberText(draw[std::size_t(i + 1)]));
    }
}

// A band across the banner's foot that no one can take for a real draw's.
void PaintDemonstrationMark(QPainter& painter) {
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(18);
    painter.setFont(font);
    const QRect band(0, BannerSize.height() - 26, BannerSize.width(), 26);
    painter.fillRect(band, QColor(40, 40, 40, 200));
    painter.setPen(QColor(255, 230, 120));
    painter.drawText(band, Qt::AlignCenter, u"演示数据（模拟开奖）：由本机生成，不是真实开奖"_s);
}

} // namespace

QPixmap BannerPicture(const std::optional<Draw>& draw, const QFont& font, bool demonstration) {
    QPixmap picture(BannerSize);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintBackground(painter);
    PaintTitle(painter);
    if (draw)
        PaintDraw(painter, *draw);
    if (demonstration)
        PaintDemonstrationMark(painter);
    return picture;
}

DrawBanner::DrawBanner(QWidget* parent)
    : ClickableImage(QPixmap(), parent) {
    setPixmap(BannerPicture(std::nullopt, font()));
}

void DrawBanner::showDraw(const std::optional<Draw>& draw) {
    if (draw == shown_)
        return;
    shown_ = draw;
    setPixmap(BannerPicture(shown_, font(), demonstration_));
}

void DrawBanner::setDemonstration(bool demonstration) {
    if (demonstration == demonstration_)
        return;
    demonstration_ = demonstration;
    setPixmap(BannerPicture(shown_, font(), demonstration_));
}

} // namespace tarvo
