#pragma once

// Readable GoogleTest output for the settings: the file they would make.
#include "config/IniFormat.h"

#include <ostream>

namespace kaz {

inline void PrintTo(const KazSettings &settings, std::ostream *os)
{
    *os << ini::render(settings).lines().join(QStringLiteral(" | ")).toStdString();
}

} // namespace kaz
