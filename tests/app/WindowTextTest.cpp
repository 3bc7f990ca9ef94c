#include "WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

// The text a control shows: a label's, a button's or radio item's, an edit's, a text box's, or the
// chosen entry of a drop-down list.
QString ShownText(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return memo->toPlainText();
    if (auto* box = qobject_cast<const QComboBox*>(control))
        return box->currentText();
    return {};
}

void SetShownText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        memo->setPlainText(text);
    else if (auto* box = qobject_cast<QComboBox*>(control))
        box->setItemText(box->currentIndex(), text);
}

// Where the text is drawn: a text box's viewport, whose picture leaves out the scroll bar (which
// moves with the amount of text); the control itself otherwise.
QWidget* TextArea(QWidget* control) {
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        return memo->viewport();
    return control;
}

// The rows that hold pixels which differ clearly (not by a shade of anti-aliasing) between two
// pictures of the same size: how tall the drawn text stands, and how many pixels it covers.
struct InkExtent {
    int rows = 0;
    int pixels = 0;
};

InkExtent Ink(const QImage& withText, const QImage& without) {
    constexpr int VisibleDifference = 64;
    InkExtent ink;
    int top = withText.height();
    int bottom = -1;
    for (int y = 0; y < withText.height(); ++y) {
        for (int x = 0; x < withText.width(); ++x) {
            if (std::abs(qGray(withText.pixel(x, y)) - qGray(without.pixel(x, y))) < VisibleDifference)
                continue;
            ++ink.pixels;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ink.rows = ink.pixels > 0 ? bottom - top + 1 : 0;
    return ink;
}

QImage Picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

using WindowText = WindowFixture;

// What the control draws with its text and without it differs by the text's own pixels; text
// drawn outside the control's box (or in the background's colour) leaves none, and text cut by the
// frame leaves less than a glyph's height.
TEST_F(WindowText, EveryTextIsDrawnInsideItsControl) {
    db_->insertRows(u"山东11选5"_s, Rows(2026120801, {{3, 11, 7, 1, 10}, {1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}));
    window().show();
    const qreal scale = window().devicePixelRatioF();
    const QString askedScale = qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s);
    ASSERT_DOUBLE_EQ(scale, askedScale.toDouble()) << "the display scaling asked for did not take";
    startUp();
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus(); // a text cursor or a focus frame is not text

    QStringList names;
    for (QWidget* control : window().findChildren<QWidget*>()) {
        const QString text = ShownText(control);
        if (text.isEmpty())
            continue;
        names << control->objectName();
        const QImage withText = Picture(TextArea(control));
        SetShownText(control, QString());
        const QImage without = Picture(TextArea(control));
        SetShownText(control, text);
        const InkExtent ink = Ink(withText, without);
        const int glyphHeight = qRound(QFontInfo(control->font()).pixelSize() * scale);
        EXPECT_GE(ink.rows, glyphHeight / 2)
            << control->metaObject()->className() << " " << control->objectName().toStdString() << " \""
            << text.left(20).toStdString() << "\": " << ink.pixels << " pixels of text over " << ink.rows
            << " rows, at display scaling " << scale;
    }
    // The check reaches every kind of control with text.
    for (const QString& name : {u"edtjihuaqishu"_s, u"comjushu"_s, u"btnrefresh"_s, u"Label2"_s, u"memkj"_s,
                                u"memjihua"_s, u"memcode"_s, u"pantx"_s})
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
    EXPECT_GE(names.size(), 8 + 4 + 8);
}

} // namespace
} // namespace tarvo::test
