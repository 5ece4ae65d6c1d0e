#include "RenameSettings.h"

namespace kaz {

void NumberingSettings::setFixed(int position)
{
    fixedPosition = position;
    relativePosition = -1;
}

void NumberingSettings::setRelative(int position)
{
    relativePosition = position;
    fixedPosition = -1;
}

NumberingSettings NumberingSettings::normalized() const
{
    NumberingSettings n = *this;
    if (n.fixedPosition < -1 || n.fixedPosition > 4)
        n.fixedPosition = NumberingSettings().fixedPosition;
    if (n.relativePosition < -1 || n.relativePosition > 3)
        n.relativePosition = -1;
    if (n.brackets < 0 || n.brackets > 3)
        n.brackets = 0;
    if (n.fixedPosition != -1)
        n.relativePosition = -1;
    return n;
}

bool delimiterIsAllowed(const QString &delimiter)
{
    if (delimiter.isEmpty() || delimiter.size() > 3)
        return false;
    for (QChar c : delimiter) {
        if (c.unicode() < 32)
            return false;
        for (char16_t forbidden : kForbiddenCharacters) {
            if (c.unicode() == forbidden)
                return false;
        }
    }
    return true;
}

bool replacementsAreUsable(const QString &replacements)
{
    if (replacements.size() != 9)
        return false;
    for (QChar c : replacements) {
        if (c == QLatin1Char('/') || c.unicode() < 32 || c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace kaz
