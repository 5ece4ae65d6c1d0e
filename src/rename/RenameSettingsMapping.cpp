#include "RenameSettingsMapping.h"

namespace kaz {
namespace {

NameField fieldFromIndex(int index, NameField fallback)
{
    return index >= 0 && index <= int(NameField::None) ? NameField(index) : fallback;
}

} // namespace

RenameSettings renameSettingsFrom(const KazSettings &settings)
{
    RenameSettings r;
    r.firstField = fieldFromIndex(settings.selection[0], r.firstField);
    if (r.firstField == NameField::None)
        r.firstField = NameField::Artist;
    r.secondField = fieldFromIndex(settings.selection[1], r.secondField);
    r.thirdField = fieldFromIndex(settings.selection[2], r.thirdField);
    r.joliet = settings.joliet;
    r.numbering.fixedPosition = settings.numberFixedPosition;
    r.numbering.relativePosition = settings.numberRelativePosition;
    r.numbering.brackets = settings.numberBrackets;
    r.numbering = r.numbering.normalized();
    QString replacements;
    for (const QString &c : settings.replacementCharacters)
        replacements += c;
    if (replacementsAreUsable(replacements))
        r.replacements = replacements;
    if (delimiterIsAllowed(settings.delimiter))
        r.delimiter = settings.delimiter;
    return r;
}

void storeRenameSettings(const RenameSettings &rename, KazSettings &settings)
{
    settings.selection = {int(rename.firstField), int(rename.secondField), int(rename.thirdField)};
    settings.joliet = rename.joliet;
    const NumberingSettings numbering = rename.numbering.normalized();
    settings.numberFixedPosition = numbering.fixedPosition;
    settings.numberRelativePosition = numbering.relativePosition;
    settings.numberBrackets = numbering.brackets;
    if (replacementsAreUsable(rename.replacements) && rename.replacements.size() == 9) {
        for (int i = 0; i < 9; ++i)
            settings.replacementCharacters[size_t(i)] = rename.replacements.at(i);
    }
    if (delimiterIsAllowed(rename.delimiter))
        settings.delimiter = rename.delimiter;
}

} // namespace kaz
