#include "BoundedInflate.h"

#include <zlib.h>

#include <algorithm>

namespace kaz {

bool inflatesWithin(QByteArrayView compressed, qint64 limit, qint64 *inflated)
{
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    unsigned char buffer[64 * 1024];
    qint64 total = 0;
    qsizetype at = 0;
    int result = Z_OK;
    while (result == Z_OK && total <= limit) {
        const qsizetype step = std::min<qsizetype>(compressed.size() - at, 1 << 20);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.data() + at));
        stream.avail_in = uInt(step);
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        at += step - qsizetype(stream.avail_in);
        total += qint64(sizeof buffer - stream.avail_out);
        if (result == Z_BUF_ERROR && stream.avail_in == 0 && at >= compressed.size())
            break; // the stream is cut
    }
    inflateEnd(&stream);
    if (inflated)
        *inflated = total;
    return total <= limit;
}

} // namespace kaz
