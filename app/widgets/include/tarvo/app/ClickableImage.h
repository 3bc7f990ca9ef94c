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

// The small chat picture of the main window (139 × 29), drawn by the program.
QPixmap ChatPicture();

} // namespace tarvo
