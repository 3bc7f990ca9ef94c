#include "WindowFixture.h"

#include "tarvo/app/DrawBanner.h"
#include "tarvo/app/MainWindowControls.h"

#include <QImage>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

class Banner : public WindowFixture {
protected:
    DrawBanner* banner() { return control<DrawBanner>("imggg"); }

    // The right part of the banner as the window paints it: the period and the five balls.
    QImage drawArea() { return banner()->grab().toImage().copy(QRect(420, 0, 540, 110)); }
};

TEST_F(Banner, ShowsTheNewestStoredDrawOfTheSelectedLotteryThroughStartUpSwitchesAndRefreshes) {
    db_->insertRows(u"山东11选5"_s, Rows(2026120801, {{3, 11, 7, 1, 10}, {1, 2, 3, 4, 5}}));
    db_->insertRows(u"广东11选5"_s, Rows(2026120805, {{6, 7, 8, 9, 10}}));
    const QImage noDraw = drawArea();
    startUp();
    EXPECT_EQ(banner()->shownDraw(), (Draw{26120802, 1, 2, 3, 4, 5}));
    const QImage shandong = drawArea();
    EXPECT_TRUE(shandong != noDraw) << "no numbers drawn";

    clickRadio("optcaipiao", 1);
    waitIdle();
    EXPECT_EQ(banner()->shownDraw(), (Draw{26120805, 6, 7, 8, 9, 10}));
    const QImage guangdong = drawArea();
    EXPECT_TRUE(guangdong != shandong) << "the drawn numbers did not change";

    // A draw that reaches the table shows with the next refresh cycle.
    db_->insertRows(u"广东11选5"_s, Rows(2026120806, {{11, 1, 2, 3, 4}}));
    tick();
    waitIdle();
    EXPECT_EQ(banner()->shownDraw(), (Draw{26120806, 11, 1, 2, 3, 4}));
    EXPECT_TRUE(drawArea() != guangdong) << "the drawn numbers did not change";

    // A lottery without draws shows no numbers.
    clickRadio("optcaipiao", 2);
    waitIdle();
    EXPECT_EQ(banner()->shownDraw(), std::nullopt);
    EXPECT_TRUE(drawArea() == noDraw) << "numbers drawn without a draw";
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

// The same numbers in another order are another draw: the balls keep the draw order.
TEST(BannerPicture, PaintsTheNumbersInDrawOrder) {
    const QFont font = WindowFont();
    const QImage drawn = BannerPicture(Draw{26120809, 1, 2, 3, 4, 5}, font).toImage();
    const QImage reordered = BannerPicture(Draw{26120809, 5, 4, 3, 2, 1}, font).toImage();
    const QImage again = BannerPicture(Draw{26120809, 1, 2, 3, 4, 5}, font).toImage();
    EXPECT_TRUE(drawn != reordered);
    EXPECT_TRUE(drawn == again);
}

} // namespace
} // namespace tarvo::test
