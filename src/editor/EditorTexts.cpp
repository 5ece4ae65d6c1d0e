#include "EditorTexts.h"

namespace kaz {

QString longFieldName(LongField field, Language l)
{
    switch (field) {
    case LongField::Title: return QString::fromUtf8(tr2(l, "Title", "Titel"));
    case LongField::Artist: return QString::fromUtf8(tr2(l, "Artist", "Interpret"));
    case LongField::Album: return QStringLiteral("Album");
    }
    return {};
}

bool isExtended(const QString &text, const TextCodec &codec)
{
    return codec.encode(text).size() > 30;
}

QString longFieldLabel(LongField field, const QString &text, Language language, const TextCodec &codec)
{
    QString label = longFieldName(field, language) + QStringLiteral(" (%1)").arg(codec.encode(text).size());
    if (isExtended(text, codec))
        label += QStringLiteral(" extended");
    return label;
}

QString headerText(HeaderState state, Language l)
{
    switch (state) {
    case HeaderState::Tag: return QStringLiteral("ID3Tag");
    case HeaderState::Extended:
        return QString::fromUtf8(
            tr2(l, "ID3Tag / Lyrics3 V2.0 (extended Tag)", "ID3Tag / Lyrics3 V2.0 (erweiterter Tag)"));
    case HeaderState::NoTag: return QString::fromUtf8(tr2(l, "ID3Tag not present!", "ID3Tag nicht vorhanden!"));
    }
    return {};
}

QString id3v2SourceText(int version, Language l)
{
    if (version == 0)
        return {};
    // Which tags Save writes stands beside the header.
    return QString::fromUtf8(tr2(l, "values from the ID3v2.%1 tag", "Werte aus dem ID3v2.%1-Tag"))
        .arg(version);
}

HeaderState headerFor(const QString &title, const QString &artist, const QString &album, const TextCodec &codec)
{
    const bool extended = isExtended(title, codec) || isExtended(artist, codec) || isExtended(album, codec);
    return extended ? HeaderState::Extended : HeaderState::Tag;
}

QString sequenceText(int position, int count)
{
    return QStringLiteral("%1/%2").arg(position).arg(count);
}

} // namespace kaz
