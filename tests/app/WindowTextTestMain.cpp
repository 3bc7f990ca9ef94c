#include <QApplication>
#include <QByteArray>
#include <cstring>
#include <gtest/gtest.h>

// The window's texts are checked at the display scaling given as --scale=FACTOR (1 when absent), as
// a player with that setting sees them. Qt takes the factor only before the application exists.
int main(int argc, char* argv[]) {
    constexpr const char* ScaleOption = "--scale=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], ScaleOption, std::strlen(ScaleOption)) == 0)
            qputenv("QT_SCALE_FACTOR", QByteArray(argv[i] + std::strlen(ScaleOption)));
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
