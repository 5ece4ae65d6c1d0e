#include "SelectionRules.h"

#include "RenameTexts.h"

namespace kaz {
namespace {

using F = NameField;

QString fieldWord(NameField field, Language language)
{
    switch (field) {
    case F::Artist: return renameText(RenameText::WordArtist, language);
    case F::Album: return renameText(RenameText::WordAlbum, language);
    case F::Title: return renameText(RenameText::WordTitle, language);
    case F::None: break;
    }
    return {};
}

NameField advanced(NameField field)
{
    return field == F::None ? F::Artist : NameField(int(field) + 1);
}

void adjustSecond(NameField first, NameField &second)
{
    if (second != first)
        return;
    second = (first == F::Title) ? F::Artist : advanced(second);
}

void adjustThird(NameField first, NameField second, NameField &third, int clickedGroup)
{
    if (third == F::None)
        return;
    if (clickedGroup == 3) {
        if (third == first || third == second)
            third = third == F::Title ? F::Artist : advanced(third);
        if (third == F::Title && (first == F::Title || second == F::Title))
            third = F::Artist;
        return;
    }
    if (third == first || third == second) {
        third = advanced(third);
        if (third == F::None)
            third = F::Artist;
    }
    if (clickedGroup == 1) {
        if (third == F::Title && (first == F::Title || second == F::Title))
            third = F::Artist;
    } else if ((first == F::Title && second == F::Album) || (first == F::Album && second == F::Title)) {
        third = F::Artist;
    }
}

} // namespace

QString patternExample(const RenameSettings &settings, Language language)
{
    QString text = fieldWord(settings.firstField, language);
    for (NameField field : {settings.secondField, settings.effectiveThirdField()}) {
        if (field != F::None)
            text += QStringLiteral(" - ") + fieldWord(field, language);
    }
    if (settings.appendComment)
        text += renameText(RenameText::CommentSuffix, language);
    if (settings.joliet)
        text += renameText(RenameText::JolietSuffix, language);
    return text;
}

void adjustSelections(int clickedGroup, NameField &first, NameField &second, NameField &third)
{
    if (clickedGroup == 1) {
        if (second != F::None && second == first) {
            second = advanced(second);
            if (second == F::None)
                second = F::Artist;
            if (first == F::Title && second == F::Title)
                second = F::Artist;
        }
    } else {
        adjustSecond(first, second);
    }
    adjustThird(first, second, third, clickedGroup);
}

} // namespace kaz
