#pragma once

#include "platform/TextCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace kaz::lyrics3 {

// Offsets inside the 144 bytes read from a file's end: the size digits
// start 143 bytes before the end, the end mark 137 bytes before it.
inline constexpr int kSizeDigits = 6;
inline constexpr int kSizeOffset = 1;
inline constexpr int kEndMarkOffset = 7; // "LYRICS200" right in front of the tag
inline constexpr int kMarksSize = 15;    // size digits + end mark
inline constexpr qint64 kMaxValueBytes = 99999; // what 5 length digits can say
inline constexpr qint64 kMaxSizeValue = 999999; // what the 6 size digits can say

// True when the 9 bytes read "LYRICS200" in any letter case.
bool hasEndMark(QByteArrayView nineBytes);
// The 6 size digits as a number; nullopt when they are not all digits.
std::optional<qint64> sizeValue(QByteArrayView sixBytes);

struct Fields {
    std::optional<QString> title;  // "ETT"
    std::optional<QString> artist; // "EAR"
    std::optional<QString> album;  // "EAL"
    // "IND", "LYR", "INF", "AUT", "IMG" fields, whole, in write order.
    QList<QByteArray> kept;
};

// Parses the bytes from "LYRICSBEGIN" up to the last field byte (the size
// digits say how many). nullopt when the start mark is missing.
std::optional<Fields> parse(QByteArrayView block, const TextCodec &codec);

// True when the bytes from "LYRICSBEGIN" up to the size digits are exactly
// a sequence of fields (identifier, 5 length digits, value) that ends where
// the size digits begin. Anything else is not a block but audio that
// happens to hold its marks, and must never be cut off.
bool isWellFormed(QByteArrayView block);

// Builds a block: the kept fields, then "ETT"/"EAR"/"EAL" for each value
// longer than 30 code-page characters, the size digits and the end mark.
// nullopt when the block would not fit its 6 size digits.
std::optional<QByteArray> render(const QList<QByteArray> &kept, const QString &title, const QString &artist,
                  const QString &album, const TextCodec &codec);

} // namespace kaz::lyrics3
