#pragma once

#include <QByteArrayView>

namespace kaz {

// Whether a zlib stream inflates to at most limit bytes. It is inflated in
// steps into one small buffer, never whole, and given up as soon as it passes
// the limit: a frame that claims a few bytes and inflates to gigabytes costs
// no more than the limit. A stream that is broken or cut answers true (it
// cannot inflate past the point where it breaks).
bool inflatesWithin(QByteArrayView compressed, qint64 limit, qint64 *inflated = nullptr);

} // namespace kaz
