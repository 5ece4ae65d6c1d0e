#pragma once

#include <QObject>

#include <gtest/gtest.h>

namespace kaz::test {

// A control by its objectName; the test fails when there is none.
template <typename T>
T *find(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace kaz::test
