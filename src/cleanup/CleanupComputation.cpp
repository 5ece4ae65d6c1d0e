#include "CleanupComputation.h"

#include "ScriptEditing.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kaz {
namespace {

// Marks that no character can take: a name is Unicode, these lie above it.
constexpr char32_t kKeep = 0x110000;
constexpr char32_t kDelete = 0x110001;
constexpr char32_t kPlaceholder = 0x110002;
constexpr char32_t kNone = 0;

bool isWordCharacter(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9');
}

bool isDotOrComma(char32_t c)
{
    return c == U'.' || c == U',';
}

bool isJoiner(char32_t c)
{
    return c == U';' || c == U'!' || c == U'-';
}

// The largest index i in 1..from with text[i] == c, or 0: where a string
// rule's search text may begin, looked for four characters at a time.
qint64 lastIndexOf(const char32_t *text, qint64 from, char32_t c)
{
    qint64 i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(int(c));
    for (; i >= 4; i -= 4) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i - 3));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi32(block, wanted));
        if (hits != 0)
            return i - 3 + (31 - __builtin_clz(unsigned(hits))) / 4;
    }
#endif
    for (; i >= 1; --i)
        if (text[i] == c)
            return i;
    return 0;
}

// A character of the script as it goes into the overlay: "?" is the delete
// mark; a control character could not stand in a logged name.
char32_t overlayCharacter(char32_t c)
{
    if (c == U'?')
        return kDelete;
    if (c < 32 || c == 127)
        return U' ';
    return c;
}

// The working state, indexed from 1 as the rules count positions. It works
// in the arrays it is given, so that a run over many names reuses them.
class Computation
{
public:
    // The name is read as code points straight from its UTF-16; both arrays
    // get room for a few insertions.
    Computation(QStringView name, const CleanupOptions &options, std::vector<char32_t> &base,
                std::vector<char32_t> &overlay)
        : m_base(base)
        , m_overlay(overlay)
    {
        const qsizetype n = name.size();
        m_base.reserve(size_t(n + 16));
        m_overlay.reserve(size_t(n + 16));
        m_base.resize(size_t(n + 1));
        char32_t *d = m_base.data();
        *d++ = kNone;
        const char16_t *units = name.utf16();
        qsizetype i = 0;
#if defined(__SSE2__)
        // Eight units without a surrogate are eight characters.
        const __m128i zero = _mm_setzero_si128();
        for (; i + 8 <= n; i += 8, d += 8) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + i));
            const __m128i surrogates =
                _mm_cmpeq_epi16(_mm_and_si128(block, _mm_set1_epi16(short(0xF800))), _mm_set1_epi16(short(0xD800)));
            if (_mm_movemask_epi8(surrogates) != 0)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d), _mm_unpacklo_epi16(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d + 4), _mm_unpackhi_epi16(block, zero));
        }
#endif
        for (; i < n; ++i) {
            const char16_t u = units[i];
            if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) {
                *d++ = QChar::surrogateToUcs4(u, units[i + 1]);
                ++i;
            } else {
                *d++ = u;
            }
        }
        m_base.resize(size_t(d - m_base.data()));
        m_overlay.assign(m_base.size(), kKeep);
        m_overlay[0] = kNone;
        const WordLimits limits = wordLimits(std::u32string_view(m_base.data() + 1, m_base.size() - 1), options);
        m_after = limits.afterFirst;
        m_before = limits.beforeLast;
        m_from = options.fromPosition ? options.fromPositionNumber : 1;
    }

    void apply(const CleanupRule &rule)
    {
        if (rule.kind == CleanupRule::String)
            applyString(rule.search, rule.replacement);
        else
            applyPosition(rule);
    }

    // The name the rules made, in out (kept from name to name, so that the
    // name returned takes only the memory it needs).
    QStringView result(std::vector<char16_t> &out) const
    {
        // Room for the worst case, every character a surrogate pair.
        const qint64 count = length();
        if (out.size() < size_t(2 * count))
            out.resize(size_t(2 * count));
        char16_t *d = out.data();
        char16_t *const start = d;
        const char32_t *base = m_base.data();
        const char32_t *overlay = m_overlay.data();
        qint64 i = 1;
#if defined(__SSE2__)
        // Four characters at a time while they lie in the basic plane.
        const __m128i keep = _mm_set1_epi32(int(kKeep));
        const __m128i bias = _mm_set1_epi32(0x8000);
        for (; i + 3 <= count; i += 4, d += 4) {
            const __m128i over = _mm_loadu_si128(reinterpret_cast<const __m128i *>(overlay + i));
            const __m128i kept = _mm_cmpeq_epi32(over, keep);
            const __m128i c = _mm_or_si128(
                _mm_and_si128(kept, _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + i))),
                _mm_andnot_si128(kept, over));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(c, 16), _mm_setzero_si128())) != 0xFFFF)
                break;
            // 0..0xFFFF shifted into the signed range packs without saturating.
            const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(c, bias), _mm_sub_epi32(c, bias));
            _mm_storel_epi64(reinterpret_cast<__m128i *>(d), _mm_add_epi16(packed, _mm_set1_epi16(short(0x8000))));
        }
#endif
        for (; i <= count; ++i) {
            const char32_t c = overlay[i] == kKeep ? base[i] : overlay[i];
            if (c < 0x10000) {
                *d++ = char16_t(c);
            } else if (c != kDelete) {
                *d++ = QChar::highSurrogate(c);
                *d++ = QChar::lowSurrogate(c);
            }
        }
        return QStringView(start, d - start);
    }

private:
    qint64 length() const { return qint64(m_base.size()) - 1; }

    void insertAt(qint64 index, char32_t c)
    {
        index = qMin(index, length() + 1);
        m_base.insert(m_base.begin() + index, kPlaceholder);
        m_overlay.insert(m_overlay.begin() + index, overlayCharacter(c));
    }

    void set(qint64 index, char32_t c) { m_overlay[index] = overlayCharacter(c); }

    // Positions past the end hold nothing that an earlier rule changed.
    bool isFree(qint64 from, qint64 count) const
    {
        for (qint64 i = from; i < from + count && i <= length(); ++i)
            if (m_overlay[i] != kKeep)
                return false;
        return true;
    }

    bool matches(qint64 at, const std::u32string &search) const
    {
        for (size_t k = 0; k < search.size(); ++k)
            if (m_base[at + qint64(k)] != search[k])
                return false;
        return true;
    }

    void applyString(const std::u32string &search, const std::u32string &replacement)
    {
        const qint64 n = qint64(search.size());
        const qint64 m = qint64(replacement.size());
        // From the right, so that insertions never move what is still to scan.
        for (qint64 i = length() - n + 1; i >= 1; --i) {
            if (n > 0) {
                i = lastIndexOf(m_base.data(), i, search[0]);
                if (i == 0)
                    break;
            }
            if (!matches(i, search) || i <= m_after || i >= m_before || !isFree(i, n))
                continue;
            if (m > n && i + n - 1 < m_from)
                continue;
            for (qint64 k = 0; k < n; ++k) {
                if (i + k >= m_from)
                    set(i + k, k < m ? replacement[k] : U'?');
            }
            for (qint64 k = n; k < m; ++k) {
                insertAt(i + k, replacement[k]);
                ++m_before;
            }
        }
    }

    // The index of the base string that position p of the unchanged name
    // has now: inserted characters before it are skipped.
    qint64 indexOfPosition(qint64 p) const
    {
        qint64 index = 1;
        qint64 characters = 0;
        qint64 placeholders = 0;
        do {
            if (index > length())
                break;
            if (m_base[index] == kPlaceholder)
                ++placeholders;
            else
                ++characters;
            ++index;
        } while (characters < p - 1);
        return p + placeholders;
    }

    void applyPosition(const CleanupRule &rule)
    {
        const qint64 s = indexOfPosition(rule.start);
        const qint64 r = rule.kind == CleanupRule::Insertion ? 1 : rule.end - rule.start + 1;
        if (!isFree(s, r) && s < length())
            return;
        const qint64 m = qint64(rule.replacement.size());
        if (rule.kind == CleanupRule::Insertion) {
            for (qint64 k = 0; k < m; ++k) {
                insertAt(s + k, rule.replacement[k]);
                ++m_before;
            }
            return;
        }
        // A range that reaches past the end of the name is cut at it.
        const qint64 covered = s > length() ? 0 : qMin(r, length() - s + 1);
        for (qint64 k = 0; k < covered; ++k)
            set(s + k, k < m ? rule.replacement[k] : U'?');
        for (qint64 k = covered; k < m; ++k)
            insertAt(s + k, rule.replacement[k]);
    }

    std::vector<char32_t> &m_base;
    std::vector<char32_t> &m_overlay;
    qint64 m_after = 0;
    qint64 m_before = 10000;
    qint64 m_from = 1;
};

} // namespace

WordLimits wordLimits(std::u32string_view name, const CleanupOptions &options)
{
    const qint64 length = qint64(name.size());
    const auto at = [&](qint64 p) { return p >= 1 && p <= length ? name[size_t(p - 1)] : kNone; };
    WordLimits limits;
    if (options.afterFirstWords) {
        qint64 p = 0;
        for (int words = 0;;) {
            ++p;
            if (isDotOrComma(at(p + 1))) {
                qint64 q = p + 1;
                while (isDotOrComma(at(q)))
                    ++q;
                p = q;
            }
            if (isJoiner(at(p)))
                ++p;
            if (p < length - 1 && isWordCharacter(at(p)))
                continue;
            if (++words >= options.afterFirstWordsNumber) {
                limits.afterFirst = p;
                break;
            }
        }
    }
    if (options.beforeLastWords) {
        qint64 p = length;
        for (int words = 0;;) {
            --p;
            while (isDotOrComma(at(p - 1)))
                --p;
            if (isJoiner(at(p)))
                --p;
            if (p > 1 && isWordCharacter(at(p)))
                continue;
            if (++words >= options.beforeLastWordsNumber) {
                limits.beforeLast = p;
                break;
            }
        }
    }
    return limits;
}

CleanupResult CleanNameComputer::compute(QStringView baseName, const QList<CleanupRule> &rules,
                                         const CleanupOptions &options)
{
    Computation computation(baseName, options, m_base, m_overlay);
    for (const CleanupRule &rule : rules)
        computation.apply(rule);
    const QStringView cleaned = computation.result(m_out);
    // A leading dot would hide the file from the list.
    qsizetype dots = 0;
    while (dots < cleaned.size() && cleaned.at(dots) == QLatin1Char('.'))
        ++dots;
    QString name = cleaned.mid(dots).toString();
    CleanupResult result;
    result.empty = name.isEmpty();
    if (options.capitalizeFirst && !name.isEmpty() && name[0] >= QLatin1Char('a') && name[0] <= QLatin1Char('z'))
        name[0] = name[0].toUpper();
    result.name = std::move(name);
    return result;
}

CleanupResult computeCleanName(QStringView baseName, const QList<CleanupRule> &rules, const CleanupOptions &options)
{
    return CleanNameComputer().compute(baseName, rules, options);
}

CleanupResult computeCleanName(const QString &baseName, const QString &script, const CleanupOptions &options)
{
    return computeCleanName(baseName, parseCleanupScript(script), options);
}

CleanupFallback cleanWithFallback(const QString &baseName, const QString &script, const CleanupOptions &options)
{
    CleanupFallback fallback;
    fallback.script = script;
    for (;;) {
        const CleanupResult result = computeCleanName(baseName, fallback.script, options);
        if (!result.empty || fallback.script.isEmpty()) {
            fallback.name = result.name;
            return fallback;
        }
        fallback.script = removeLastEntry(fallback.script);
        ++fallback.droppedEntries;
    }
}

} // namespace kaz
