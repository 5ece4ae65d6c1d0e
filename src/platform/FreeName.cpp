#include "FreeName.h"

namespace kaz {

QString nameNumber(int k)
{
    return QStringLiteral(" (%1)").arg(k);
}

QString numberedName(const QString &name, int k)
{
    if (k == 0)
        return name;
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype cut = dot > slash + 1 ? dot : name.size();
    return name.left(cut) + nameNumber(k) + name.mid(cut);
}

QString freeName(const QString &name, int first, const std::function<bool(const QString &)> &isTaken)
{
    if (!isTaken(name))
        return name;
    for (int k = first; k <= kMaxNameNumber; ++k) {
        const QString candidate = numberedName(name, k);
        if (!isTaken(candidate))
            return candidate;
    }
    return {};
}

} // namespace kaz
