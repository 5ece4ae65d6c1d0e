#pragma once

#include <QByteArrayView>
#include <QStringEncoder>
#include <QStringView>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kaz {

// Scans and conversions that a run over many thousands of names makes per
// name: eight UTF-16 units at a time where the processor allows, the rest
// one by one.

// Whether every byte of bytes is ASCII.
inline bool isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16)
        if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p))) != 0)
            return false;
#endif
    for (; p != end; ++p)
        if (uchar(*p) >= 0x80)
            return false;
    return true;
}

// Whether text holds the unit a or the unit b.
inline bool containsEither(QStringView text, char16_t a, char16_t b)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi16(short(a));
    const __m128i vb = _mm_set1_epi16(short(b));
    for (; end - p >= 8; p += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, va), _mm_cmpeq_epi16(units, vb))) != 0)
            return true;
    }
#endif
    for (; p != end; ++p)
        if (*p == a || *p == b)
            return true;
    return false;
}

// The index of the last unit c in text, or -1.
inline qsizetype lastIndexOfUnit(QStringView text, char16_t c)
{
    const char16_t *const begin = text.utf16();
    const char16_t *p = begin + text.size();
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; p - begin >= 8; p -= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p - 8));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted));
        if (hits != 0)
            return (p - 8 - begin) + (31 - __builtin_clz(unsigned(hits))) / 2;
    }
#endif
    while (p != begin)
        if (*--p == c)
            return p - begin;
    return -1;
}

// Whether every unit of text lies in low..high.
inline bool allUnitsWithin(QStringView text, char16_t low, char16_t high)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    const char16_t span = char16_t(high - low);
#if defined(__SSE2__)
    const __m128i vlow = _mm_set1_epi16(short(low));
    const __m128i vspan = _mm_set1_epi16(short(span));
    const __m128i zero = _mm_setzero_si128();
    for (; end - p >= 8; p += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        // unit - low, unsigned, not above span: the saturated difference is 0.
        const __m128i over = _mm_subs_epu16(_mm_sub_epi16(units, vlow), vspan);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(over, zero)) != 0xFFFF)
            return false;
    }
#endif
    for (; p != end; ++p)
        if (char16_t(*p - low) > span)
            return false;
    return true;
}

namespace detail {

template <bool kRefuseLineBreaks>
char *writeUtf8(char *out, QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
#if defined(__SSE2__)
    const __m128i ascii = _mm_set1_epi16(0x7F);
    const __m128i zero = _mm_setzero_si128();
    for (; end - p >= 8; p += 8, out += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(units, ascii), zero)) != 0xFFFF)
            break;
        if constexpr (kRefuseLineBreaks) {
            const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'\n')),
                                                _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\r')));
            if (_mm_movemask_epi8(breaks) != 0)
                return nullptr;
        }
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(units, units));
    }
    // The last few units as the last eight, again over some already written.
    if (p != end && end - p < 8 && end - text.utf16() >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(end - 8));
        bool plain = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(units, ascii), zero)) == 0xFFFF;
        if constexpr (kRefuseLineBreaks) {
            const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'\n')),
                                                _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\r')));
            plain = plain && _mm_movemask_epi8(breaks) == 0;
        }
        if (plain) {
            out += end - p;
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out - 8), _mm_packus_epi16(units, units));
            return out;
        }
    }
#endif
    for (; p != end && *p < 0x80; ++p) {
        if (kRefuseLineBreaks && (*p == u'\n' || *p == u'\r'))
            return nullptr;
        *out++ = char(*p);
    }
    if (p == end)
        return out;
    if (kRefuseLineBreaks && containsEither(QStringView(p, end), u'\n', u'\r'))
        return nullptr;
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return encoder.appendToBuffer(out, QStringView(p, end));
}

} // namespace detail

// Writes text as UTF-8 at out, which has room for three bytes per unit
// (QStringEncoder::requiredSpace()), and returns the end. What is not ASCII
// goes through QStringEncoder, which also decides what becomes of a lone
// surrogate.
inline char *writeUtf8(char *out, QStringView text)
{
    return detail::writeUtf8<false>(out, text);
}

// writeUtf8() for a line of a work file: nullptr, with out partly written,
// when text holds a line break.
inline char *writeUtf8Line(char *out, QStringView text)
{
    return detail::writeUtf8<true>(out, text);
}

// Appends text to bytes as UTF-8.
inline void appendUtf8(QByteArray &bytes, QStringView text)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + 3 * text.size());
    bytes.resize(writeUtf8(bytes.data() + start, text) - bytes.constData());
}

} // namespace kaz
