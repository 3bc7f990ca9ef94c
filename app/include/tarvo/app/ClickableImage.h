#pragma once

#include <QLabel>

namespace tarvo {

// A picture with the hand cursor that tells when it is clicked.
class ClickableImage : public QLabel {
    Q_OBJECT
public:
    explicit ClickableImage(const QPixmap& picture, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The two pictures of the main window, drawn by the program: the banner (960 × 110) and the small
// chat picture (139 × 29).
QPixmap BannerPicture();
QPixmap ChatPicture();

} // namespace tarvo
