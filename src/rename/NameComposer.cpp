#include "NameComposer.h"

#include "NumberExtractor.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>

namespace kaz {
namespace {

using F = NameField;

// The fields of a name, at most three: held in place, since every file of a
// run asks for them.
struct FieldSet {
    std::array<NameField, 3> at{};
    qsizetype count = 0;

    qsizetype size() const { return count; }
    NameField operator[](qsizetype i) const { return at[std::size_t(i)]; }
    bool contains(NameField field) const { return std::find(at.begin(), at.begin() + count, field) != at.begin() + count; }
    void append(NameField field) { at[std::size_t(count++)] = field; }
    QList<NameField> toList() const { return QList<NameField>(at.begin(), at.begin() + count); }
};

FieldSet selectedSet(const RenameSettings &settings)
{
    FieldSet fields;
    for (NameField f : {settings.firstField, settings.secondField, settings.effectiveThirdField()}) {
        if (f != F::None)
            fields.append(f);
    }
    return fields;
}

FieldSet availableSet(const RenameSettings &settings, const TagRecord &tag)
{
    FieldSet fields;
    const FieldSet selected = selectedSet(settings);
    for (qsizetype i = 0; i < selected.size(); ++i) {
        const NameField f = selected[i];
        const QString &value = f == F::Artist ? tag.artist : f == F::Album ? tag.album : tag.title;
        if (!value.isEmpty())
            fields.append(f);
    }
    return fields;
}

// The values a name is made of; the Joliet rules shorten copies of them.
struct NameValues {
    QString artist, album, title, comment;

    QString &of(NameField field) { return field == F::Artist ? artist : field == F::Album ? album : title; }
    const QString &of(NameField field) const
    {
        return field == F::Artist ? artist : field == F::Album ? album : title;
    }
};

struct Number {
    QString text;
    int fixed = -1;
    int relative = -1;
};

QString cut(const QString &text, qsizetype length)
{
    return length <= 0 ? QString() : text.left(length);
}

void cutIfLonger(QString &text, qsizetype length)
{
    if (text.size() > length)
        text = cut(text, length);
}

void shortenForJoliet(NameValues &v, const FieldSet &available, const RenameSettings &s)
{
    const qsizetype d = s.delimiter.size();
    const bool withTitle = available.contains(F::Title);
    const bool noComment = v.comment.isEmpty();
    if (available.size() == 1 && s.appendComment) {
        const qsizetype b = 57 - 2 * d;
        for (QString *field : {&v.title, &v.album, &v.artist})
            *field = cut(*field, noComment ? b : 2 * b / 3);
        v.comment = cut(v.comment, b - v.of(available[0]).size());
    } else if (available.size() == 2 && s.appendComment) {
        const qsizetype b = 57 - 3 * d;
        cutIfLonger(v.title, 5 * b / 10);
        if (withTitle) {
            const qsizetype rest = noComment ? b - v.title.size() : 3 * b / 10;
            v.artist = cut(v.artist, rest);
            v.album = cut(v.album, rest);
        } else {
            cutIfLonger(v.artist, 5 * b / 10);
            v.album = cut(v.album, noComment ? b - v.artist.size() : 3 * b / 10);
        }
        v.comment = cut(v.comment, b - v.of(available[0]).size() - v.of(available[1]).size());
    } else if (available.size() == 1) {
        const qsizetype b = 57 - d;
        for (QString *field : {&v.title, &v.album, &v.artist})
            cutIfLonger(*field, b);
    } else if (available.size() == 2) {
        const qsizetype b = 57 - 2 * d;
        cutIfLonger(v.title, 3 * b / 5);
        if (withTitle) {
            v.artist = cut(v.artist, b - v.title.size());
            v.album = cut(v.album, b - v.title.size());
        } else {
            cutIfLonger(v.artist, 3 * b / 5);
            v.album = cut(v.album, b - v.artist.size());
        }
    }
}

Number numberFor(const TagRecord &tag, QStringView fileName, const NumberingSettings &numbering)
{
    Number n;
    if (tag.trackText != QLatin1String("0")) {
        n.text = tag.trackText;
        n.fixed = numbering.fixedPosition;
        n.relative = numbering.relativePosition;
    } else {
        n.text = extract_number(fileName.toString());
        n.fixed = 0;
    }
    if (!n.text.isEmpty() && numbering.brackets >= 1 && numbering.brackets <= 3) {
        static const char *const open[] = {"[", "{", "("};
        static const char *const close[] = {"]", "}", ")"};
        n.text = QLatin1String(open[numbering.brackets - 1]) + n.text + QLatin1String(close[numbering.brackets - 1]);
    }
    return n;
}

int relativeSlot(NameField field)
{
    return int(field); // before artist 0, album 1, title 2
}

// Whether the delimiter stands twice in a row somewhere in the name.
bool hasDoubledDelimiter(QStringView name, QStringView delim)
{
    const qsizetype d = delim.size();
    if (d == 0)
        return false;
    const QChar first = delim[0];
    for (qsizetype i = 0; i + 2 * d <= name.size(); ++i) {
        if (name[i] != first)
            continue;
        qsizetype j = 1;
        while (j < d && name[i + j] == delim[j] && name[i + d + j] == delim[j])
            ++j;
        if (j == d && name[i + d] == first)
            return true;
    }
    return false;
}

void removeDoubledDelimiters(QString &name, const QString &delim)
{
    if (!hasDoubledDelimiter(name, delim))
        return;
    const qsizetype d = delim.size();
    const qsizetype last = name.size() - 2 * d; // fixed before the pass, as one forward pass
    for (qsizetype i = 0; i < last; ++i) {
        if (QStringView(name).mid(i, d) == delim && QStringView(name).mid(i + d, d) == delim)
            name.remove(i, d);
    }
}

// A name put together part by part in one buffer: one allocation for the
// finished name instead of one per part.
using NameBuffer = QVarLengthArray<QChar, 512>;

void put(NameBuffer &name, QStringView part)
{
    name.append(part.data(), part.size());
}

void composeInto(NameBuffer &name, const NameValues &v, const FieldSet &available, const Number &number,
                 const RenameSettings &s)
{
    const QString &delim = s.delimiter;
    const bool present = s.keepNumbers && !number.text.isEmpty();
    const qsizetype count = available.size();
    bool placed = false;
    for (qsizetype i = 0; i < count; ++i)
        placed |= present && number.relative == relativeSlot(available[i]);
    // A number meant to stand before a field that is not there goes to the
    // front (the numbering dialog's promise), also before the artist; so does
    // one meant for before the comment when no comment is appended.
    if ((present && !placed && number.relative >= 0 && number.relative <= 2)
        || (!s.appendComment && present && number.relative == 3)) {
        put(name, number.text);
        put(name, delim);
    }
    if (present && (number.fixed == 0 || (number.fixed == 2 && count == 1) || (number.fixed == 3 && count < 3))) {
        put(name, number.text);
        put(name, delim);
    }
    for (qsizetype i = 1; i <= count; ++i) {
        const NameField field = available[i - 1];
        if (i > 1)
            put(name, delim);
        if (present && number.relative == relativeSlot(field)) {
            put(name, number.text);
            put(name, delim);
        }
        put(name, v.of(field));
        if (present && i == number.fixed && i <= 3) {
            put(name, delim);
            put(name, number.text);
        }
    }
    if (s.appendComment) {
        if (s.keepNumbers && number.relative == 3) {
            put(name, delim);
            put(name, number.text);
        }
        if (!v.comment.isEmpty()) {
            put(name, delim);
            put(name, v.comment);
        }
    }
    if (s.keepNumbers && number.fixed == 4) {
        put(name, delim);
        put(name, number.text);
    }
}

QString composeValues(const NameValues &v, const FieldSet &available, const Number &number,
                      const RenameSettings &s)
{
    NameBuffer name;
    composeInto(name, v, available, number, s);
    QString composed(name.constData(), name.size());
    removeDoubledDelimiters(composed, s.delimiter);
    return composed;
}

NameValues valuesOf(const TagRecord &tag)
{
    return {tag.longArtist, tag.longAlbum, tag.longTitle, tag.comment};
}

// Control characters (a line break in a tag, a zero byte) cannot stand in a
// file name that the work lists and undo logs record line by line; a slash
// would leave the folder.
QChar safeChar(QChar c)
{
    if (c.unicode() < 32 || c.unicode() == 127)
        return QLatin1Char(' ');
    return c == QLatin1Char('/') ? QLatin1Char('_') : c;
}

// A leading dot would hide the file ("...And Justice for All").
qsizetype leadingDots(QStringView name)
{
    qsizetype dots = 0;
    while (dots < name.size() && name.at(dots) == QLatin1Char('.'))
        ++dots;
    return dots;
}

void makeNameSafe(QString &name)
{
    for (QChar &c : name)
        c = safeChar(c);
    name.remove(0, leadingDots(name));
}

void cutToLength(QString &name, qsizetype length)
{
    if (name.size() <= length)
        return;
    if (name[length - 1].isHighSurrogate())
        --length;
    name.truncate(length);
}

// The size of a text without the codes <= 32 at its end.
qsizetype trimmedEndSize(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= 32)
        --end;
    return end;
}

constexpr std::array<bool, 128> kIsForbidden = [] {
    std::array<bool, 128> table{};
    for (const char16_t c : kForbiddenCharacters)
        table[c] = true;
    return table;
}();

bool isForbidden(QChar c)
{
    return c.unicode() < 128 && kIsForbidden[c.unicode()];
}

void replaceIn(QString &text, const QString &replacements)
{
    // Most texts hold none: those are left shared, not copied.
    if (std::none_of(text.cbegin(), text.cend(), isForbidden))
        return;
    for (QChar &c : text) {
        if (c.unicode() > 0x7f)
            continue;
        for (int i = 0; i < 9; ++i) {
            if (c.unicode() == kForbiddenCharacters[i]) {
                c = replacements[i];
                break;
            }
        }
    }
}

} // namespace

QList<NameField> selectedFields(const RenameSettings &settings)
{
    return selectedSet(settings).toList();
}

QList<NameField> availableFields(const RenameSettings &settings, const TagRecord &tag)
{
    return availableSet(settings, tag).toList();
}

QString fieldCodes(const QList<NameField> &fields)
{
    QString codes;
    for (NameField f : fields)
        codes += f == F::Artist ? QLatin1String("AR") : f == F::Album ? QLatin1String("AL") : QLatin1String("TI");
    return codes;
}

void replaceForbiddenCharacters(TagRecord &tag, const QString &replacements)
{
    if (replacements.size() != 9)
        return;
    for (QString *text : {&tag.title, &tag.artist, &tag.album, &tag.comment}) {
        replaceIn(*text, replacements);
        const qsizetype end = trimmedEndSize(*text);
        if (end < text->size())
            text->truncate(end);
    }
    replaceIn(tag.year, replacements);
    // A long field that still shares the ID3 field's text was looked at with it.
    for (auto [longText, shortText] : {std::pair{&tag.longTitle, &tag.title}, std::pair{&tag.longArtist, &tag.artist},
                                       std::pair{&tag.longAlbum, &tag.album}}) {
        if (longText->constData() != shortText->constData() || longText->size() != shortText->size())
            replaceIn(*longText, replacements);
    }
    // Without a Lyrics3 value the long fields are copies of the ID3 fields
    // and are trimmed with them.
    for (auto [longText, shortText] : {std::pair{&tag.longTitle, &tag.title}, std::pair{&tag.longArtist, &tag.artist},
                                       std::pair{&tag.longAlbum, &tag.album}}) {
        if (QStringView(*longText).first(trimmedEndSize(*longText)) == *shortText)
            *longText = *shortText;
    }
}

namespace {

QString composeName(const TagRecord &tag, QStringView fileName, const RenameSettings &settings,
                    const FieldSet &available)
{
    NameValues values = valuesOf(tag);
    if (settings.joliet)
        shortenForJoliet(values, available, settings);
    NameBuffer buffer;
    composeInto(buffer, values, available, numberFor(tag, fileName, settings.numbering), settings);
    const QStringView composed(buffer.constData(), buffer.size());
    if (hasDoubledDelimiter(composed, settings.delimiter)) {
        QString name = composed.toString();
        removeDoubledDelimiters(name, settings.delimiter);
        makeNameSafe(name);
        cutToLength(name, kMaxComposedLength);
        return name;
    }
    // The same steps in the buffer, and one string made of it.
    for (QChar &c : buffer)
        c = safeChar(c);
    QStringView safe = composed.sliced(leadingDots(composed));
    if (safe.size() > kMaxComposedLength)
        safe = safe.first(safe[kMaxComposedLength - 1].isHighSurrogate() ? kMaxComposedLength - 1 : kMaxComposedLength);
    return safe.toString();
}

} // namespace

QString compose_name(const TagRecord &tag, const QString &fileName, const RenameSettings &settings)
{
    return composeName(tag, fileName, settings, availableSet(settings, tag));
}

QString statusBarName(const TagRecord &tag, const QString &fileName, const RenameSettings &settings)
{
    RenameSettings plain = settings;
    plain.joliet = false;
    plain.thirdField = settings.effectiveThirdField();
    return composeValues(valuesOf(tag), availableSet(plain, tag), numberFor(tag, fileName, settings.numbering),
                         plain);
}

bool userTextIsEmpty(const RenameSettings &settings)
{
    QString text = settings.userText;
    makeNameSafe(text);
    return text.trimmed().isEmpty();
}

QString counterText(int counter)
{
    return QString::number(counter).rightJustified(2, QLatin1Char('0'));
}

QString userDefinedName(const RenameSettings &settings, int counter)
{
    // Without a text the counter alone names the files; an empty name would
    // make hidden files ".mp3", " (2).mp3", ...
    if (userTextIsEmpty(settings))
        return counterText(counter);
    QString name = settings.keepNumbers ? settings.userText : counterText(counter) + settings.delimiter + settings.userText;
    makeNameSafe(name);
    return name;
}

NamePlan planName(const TagRecord &tag, QStringView fileName, const RenameSettings &settings)
{
    NamePlan plan;
    const FieldSet available = availableSet(settings, tag);
    plan.name = composeName(tag, fileName, settings, available);
    plan.complete = available.size() == selectedSet(settings).size() && !plan.name.trimmed().isEmpty();
    if (!plan.complete)
        plan.name.clear();
    return plan;
}

QString extensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || fileName.size() - dot > 5)
        return {};
    return fileName.mid(dot);
}

QString markedBase(const QString &fileName)
{
    QString base = fileName;
    base.chop(extensionOf(fileName).size());
    if (base.startsWith(QLatin1String("! ")))
        base.remove(0, 2);
    return QStringLiteral("! ") + base;
}

QString fitFileName(const QString &base, QStringView tail)
{
    // A UTF-16 unit never takes more than three bytes of UTF-8.
    if ((base.size() + tail.size()) * 3 <= kMaxFileNameBytes)
        return base;
    const qsizetype tailBytes = tail.toUtf8().size();
    if (base.toUtf8().size() + tailBytes <= kMaxFileNameBytes)
        return base;
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < base.size()) {
        const qsizetype step = base[i].isHighSurrogate() && i + 1 < base.size() ? 2 : 1;
        const qsizetype size = QStringView(base).mid(i, step).toUtf8().size();
        if (bytes + size + tailBytes > kMaxFileNameBytes)
            break;
        bytes += size;
        i += step;
    }
    return base.left(i);
}

} // namespace kaz
