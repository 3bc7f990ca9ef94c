#pragma once

#include "tarvo/app/ClickableImage.h"
#include "tarvo/plan/Draw.h"

#include <optional>

namespace tarvo {

// The banner at the top of the main window (960 × 110, opens the advertising page when clicked). It
// shows the selected lottery's newest stored draw: its five numbers as balls in draw order and its
// period beside them; with no draw, no numbers.
class DrawBanner : public ClickableImage {
    Q_OBJECT
public:
    explicit DrawBanner(QWidget* parent = nullptr);

    void showDraw(const std::optional<Draw>& draw);
    const std::optional<Draw>& shownDraw() const { return shown_; }

private:
    std::optional<Draw> shown_;
};

// The banner's picture with the given draw, or with none; its texts are in the given font's family.
QPixmap BannerPicture(const std::optional<Draw>& draw, const QFont& font);

} // namespace tarvo
