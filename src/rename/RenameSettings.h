#pragma once

#include <QString>

namespace kaz {

// The tag fields a name can be made of, in the order of the selection groups.
enum class NameField { Artist = 0, Album = 1, Title = 2, None = 3 };

// Where a kept number goes and how it is bracketed. At most one of the two
// positions is active; the setters keep it so.
struct NumberingSettings {
    // -1 none, 0 beginning of filename, 1 after first choice, 2 after second
    // choice, 3 after third choice, 4 end of filename.
    int fixedPosition = 0;
    // -1 none, 0 before artist, 1 before album, 2 before title, 3 before comment.
    int relativePosition = -1;
    // 0 none, 1 "[ ]", 2 "{ }", 3 "( )".
    int brackets = 0;

    void setFixed(int position);
    void setRelative(int position);
    // Out-of-range values become defaults; with both positions set the fixed
    // one wins, as the numbering dialog shows it.
    NumberingSettings normalized() const;

    bool operator==(const NumberingSettings &) const = default;
};

// Everything page "0" decides about a composed name.
struct RenameSettings {
    NameField firstField = NameField::Artist; // RadioGroup1, never None
    NameField secondField = NameField::Album; // RadioGroup2
    NameField thirdField = NameField::Title;  // RadioGroup3; None while Joliet is on
    bool appendComment = false;               // CheckBox4
    bool keepNumbers = true;                  // CheckBox3
    bool userDefined = false;                 // CheckBox2
    QString userText;                         // Edit2
    bool joliet = false;
    bool includeSubdirectories = false; // CheckBox1
    NumberingSettings numbering;
    QString delimiter = QStringLiteral(" - ");
    // Stand-ins for \ / : * " ? < > | in that order.
    QString replacements = QStringLiteral("___   --_");

    // The third field as the composition sees it (None under Joliet).
    NameField effectiveThirdField() const { return joliet ? NameField::None : thirdField; }

    bool operator==(const RenameSettings &) const = default;
};

// The nine characters that a file name may not hold, in replacement order.
inline constexpr char16_t kForbiddenCharacters[9] = {u'\\', u'/', u':', u'*', u'"', u'?', u'<', u'>', u'|'};

// One to three characters, none of them one of the nine or a control
// character (the dialog refuses others with RenameText::DelimiterNotAllowed).
bool delimiterIsAllowed(const QString &delimiter);
// Nine replacement characters that keep a name inside its folder (no "/",
// no control character).
bool replacementsAreUsable(const QString &replacements);

} // namespace kaz
