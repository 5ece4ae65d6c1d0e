#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kaz {

// One record of "cleanup.kaz": a name line (may be empty) and a script line.
struct SavedRule {
    QString name;
    QString script;

    bool operator==(const SavedRule &) const = default;
};

QList<SavedRule> parseSavedRules(const QByteArray &bytes);
QByteArray renderSavedRules(const QList<SavedRule> &rules);

// An entry of the saved-rules menu: named records at the top, the latest
// first; unnamed ones, shown by their script, at the bottom in file order.
struct SavedRuleItem {
    QString caption;
    QString script;
    int record = -1; // index in the file's records
};
QList<SavedRuleItem> savedRuleMenu(const QList<SavedRule> &rules);
// The item whose caption is caption; null when none.
const SavedRuleItem *findSavedRule(const QList<SavedRuleItem> &items, const QString &caption);

// The file in the program folder. A missing file has no rules; so has one
// that is refused (not a regular file, far too large: never waited on or
// read), and problem then says why.
QString savedRulesPath();
QList<SavedRule> loadSavedRules(QString *problem = nullptr);
// Writes the whole file under a temporary name and renames it into place,
// so that a crash leaves either the old or the new rules. problem names the
// file and the system's error when it could not be written.
bool storeSavedRules(const QList<SavedRule> &rules, QString *problem = nullptr);

enum class SaveRuleResult { Saved, AlreadySaved, NothingToSave, WriteFailed };
// Saves the script (or only its last entry) under name, unless the text to
// save is the caption of a menu item already.
// A file that is there but could not be read is not written over.
SaveRuleResult saveRule(const QString &script, bool lastExpressionOnly, const QString &name,
                        QString *problem = nullptr);
// Deletes the record of a menu item, both of its lines.
bool deleteRule(int record, QString *problem = nullptr);

} // namespace kaz
