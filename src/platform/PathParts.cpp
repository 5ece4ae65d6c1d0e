#include "PathParts.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kaz {

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

bool isCleanAbsolutePath(QStringView path)
{
    const qsizetype n = path.size();
    if (n == 0 || path.front() != u'/' || path.back() == u'/')
        return false;
    // A part that is empty, "." or ".." shows as a slash before a slash or a
    // dot: look closer only there.
    const char16_t *u = path.utf16();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i slash = _mm_set1_epi16(u'/');
    const __m128i dot = _mm_set1_epi16(u'.');
    for (; i + 9 <= n; i += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(u + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(u + i + 1));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi16(here, slash),
                                          _mm_or_si128(_mm_cmpeq_epi16(next, slash), _mm_cmpeq_epi16(next, dot)));
        if (_mm_movemask_epi8(hit) != 0)
            break;
    }
#endif
    for (; i + 1 < n; ++i) {
        if (u[i] != u'/')
            continue;
        if (u[i + 1] == u'/')
            return false;
        if (u[i + 1] == u'.') {
            qsizetype end = i + 2;
            if (end < n && u[end] == u'.')
                ++end;
            if (end == n || u[end] == u'/')
                return false;
        }
    }
    return true;
}

QString joined(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (const QStringView part : parts)
        size += part.size();
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (const QStringView part : parts)
        out = std::copy(part.begin(), part.end(), out);
    return text;
}

} // namespace kaz
