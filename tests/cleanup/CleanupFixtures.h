#pragma once

#include "support/QtPrinters.h"
#include "support/TestSupport.h"

namespace kaz::test {

// A file at dir/name whose content names it, so that hashes tell files apart.
inline QString putFile(const QString &dir, const QString &name)
{
    return putFile(dir, name, "content of " + name.toUtf8());
}

} // namespace kaz::test
