#pragma once

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tarvo::test {

template <typename T> QString WaitForFinished(T& object, int limitMs) {
    QSignalSpy spy(&object, &T::finished);
    if (!spy.wait(limitMs)) {
        ADD_FAILURE() << "finished was not emitted";
        return QStringLiteral("timed out");
    }
    return spy.takeFirst().at(0).toString();
}

} // namespace tarvo::test
