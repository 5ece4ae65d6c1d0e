#include "EditorFields.h"

#include "tags/Genres.h"
#include "tags/Id3v1.h"

namespace kaz {

EditorFields fieldsFromTag(const TagRecord &tag)
{
    EditorFields fields;
    fields.title = tag.longTitle;
    fields.artist = tag.longArtist;
    fields.album = tag.longAlbum;
    fields.comment = id3v1::commentWithoutTrack(tag);
    fields.year = id3v1::visibleYear(tag.year);
    fields.track = tag.track;
    if (tag.hasTag())
        fields.genre = genreName(tag.genre);
    return fields;
}

TagValues valuesForSave(const EditorFields &fields)
{
    TagValues values;
    values.title = fields.title;
    values.artist = fields.artist;
    values.album = fields.album;
    values.comment = fields.comment.left(30);
    values.year = id3v1::visibleYear(fields.year.left(4));
    const int track = fields.track >= 1 && fields.track <= 255 ? fields.track : 0;
    values.trackText = track ? id3v1::trackTextFor(track) : QStringLiteral("0");
    const int genre = genreNumber(fields.genre);
    values.genre = quint8(genre < 0 ? 255 : genre);
    return values;
}

int trackFromInput(const QString &text)
{
    bool ok = false;
    const int track = text.trimmed().toInt(&ok);
    return ok && track >= 0 && track <= 255 ? track : 0;
}

bool hasAnyValue(const EditorFields &fields)
{
    for (const QString *text : {&fields.title, &fields.artist, &fields.album, &fields.comment, &fields.year}) {
        if (!text->trimmed().isEmpty())
            return true;
    }
    return fields.track != 0 || !fields.genre.isEmpty();
}

} // namespace kaz
