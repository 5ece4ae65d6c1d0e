#include "Lyrics3.h"

#include <array>

namespace kaz::lyrics3 {
namespace {

constexpr std::array kKeptOrder{"IND", "LYR", "INF", "AUT", "IMG"};

std::optional<qint64> digits(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (char c : bytes) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

QByteArray upper3(QByteArrayView bytes)
{
    return bytes.first(3).toByteArray().toUpper();
}

QByteArray zeroPadded(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

} // namespace

bool hasEndMark(QByteArrayView nineBytes)
{
    static constexpr char kMark[] = "LYRICS200";
    if (nineBytes.size() < 9)
        return false;
    for (int i = 0; i < 9; ++i) {
        const char c = nineBytes[i];
        if ((c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c) != kMark[i])
            return false;
    }
    return true;
}

std::optional<qint64> sizeValue(QByteArrayView sixBytes)
{
    return digits(sixBytes.first(qMin<qsizetype>(sixBytes.size(), kSizeDigits)));
}

std::optional<Fields> parse(QByteArrayView block, const TextCodec &codec)
{
    if (!block.startsWith("LYRICSBEGIN"))
        return std::nullopt;
    Fields fields;
    std::array<QList<QByteArray>, kKeptOrder.size()> kept;
    qsizetype p = 11;
    while (p + 8 <= block.size()) {
        const QByteArray id = upper3(block.sliced(p));
        const std::optional<qint64> length = digits(block.sliced(p + 3, 5));
        const bool isLong = id == "ETT" || id == "EAR" || id == "EAL";
        int keptIndex = -1;
        for (size_t k = 0; k < kKeptOrder.size(); ++k) {
            if (id == kKeptOrder[k])
                keptIndex = int(k);
        }
        if (id == "LYR" && !(block[p + 3] >= '0' && block[p + 3] <= '9'))
            keptIndex = -1;
        if (!length || (!isLong && keptIndex < 0)) {
            ++p;
            continue;
        }
        // A length that runs past the block is cut at the block's end.
        const qsizetype valueLength = qMin<qsizetype>(*length, block.size() - p - 8);
        const QByteArrayView value = block.sliced(p + 8, valueLength);
        if (id == "ETT")
            fields.title = codec.decode(value);
        else if (id == "EAR")
            fields.artist = codec.decode(value);
        else if (id == "EAL")
            fields.album = codec.decode(value);
        else if (valueLength == *length)
            kept[keptIndex].append(block.sliced(p, 8 + valueLength).toByteArray());
        p += 8 + valueLength;
    }
    for (const auto &group : kept)
        fields.kept += group;
    return fields;
}

bool isWellFormed(QByteArrayView block)
{
    if (!block.startsWith("LYRICSBEGIN"))
        return false;
    qsizetype p = 11;
    while (p < block.size()) {
        if (p + 8 > block.size())
            return false;
        for (char c : block.sliced(p, 3)) {
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
                return false;
        }
        const std::optional<qint64> length = digits(block.sliced(p + 3, 5));
        if (!length)
            return false;
        p += 8 + *length;
    }
    return p == block.size();
}

std::optional<QByteArray> render(const QList<QByteArray> &kept, const QString &title, const QString &artist,
                  const QString &album, const TextCodec &codec)
{
    QByteArray block("LYRICSBEGIN");
    for (const QByteArray &field : kept)
        block += field;
    const auto appendLong = [&](const char *id, const QString &text) {
        QByteArray value = codec.encode(text);
        if (value.size() <= 30)
            return;
        value.truncate(kMaxValueBytes);
        block += id + zeroPadded(value.size(), 5) + value;
    };
    appendLong("ETT", title);
    appendLong("EAR", artist);
    appendLong("EAL", album);
    if (block.size() > kMaxSizeValue)
        return std::nullopt;
    block += zeroPadded(block.size(), kSizeDigits) + "LYRICS200";
    return block;
}

} // namespace kaz::lyrics3
