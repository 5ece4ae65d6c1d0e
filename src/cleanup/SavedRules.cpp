#include "SavedRules.h"

#include "ScriptEditing.h"

#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"

namespace kaz {
namespace {

// Far more than anyone saves.
constexpr qint64 kMaxRulesBytes = 16 * 1024 * 1024;

// A line break would break the pairing of the lines.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

QList<SavedRule> parseSavedRules(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<SavedRule> rules;
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        QByteArray name = lines[i];
        QByteArray script = i + 1 < lines.size() ? lines[i + 1] : QByteArray();
        if (name.endsWith('\r'))
            name.chop(1);
        if (script.endsWith('\r'))
            script.chop(1);
        rules.append({QString::fromUtf8(name), QString::fromUtf8(script)});
    }
    return rules;
}

QByteArray renderSavedRules(const QList<SavedRule> &rules)
{
    QByteArray bytes;
    for (const SavedRule &rule : rules)
        bytes += oneLine(rule.name).toUtf8() + "\r\n" + oneLine(rule.script).toUtf8() + "\r\n";
    return bytes;
}

QList<SavedRuleItem> savedRuleMenu(const QList<SavedRule> &rules)
{
    QList<SavedRuleItem> named;
    QList<SavedRuleItem> unnamed;
    for (int i = 0; i < rules.size(); ++i) {
        const SavedRule &rule = rules[i];
        if (rule.script.isEmpty())
            continue;
        if (rule.name.isEmpty())
            unnamed.append({rule.script, rule.script, i});
        else
            named.prepend({rule.name, rule.script, i});
    }
    return named + unnamed;
}

const SavedRuleItem *findSavedRule(const QList<SavedRuleItem> &items, const QString &caption)
{
    for (const SavedRuleItem &item : items)
        if (item.caption == caption)
            return &item;
    return nullptr;
}

QString savedRulesPath()
{
    return workFilePath(workfile::CleanupRules);
}

QList<SavedRule> loadSavedRules(QString *problem)
{
    QByteArray bytes;
    if (!readSmallFile(savedRulesPath(), kMaxRulesBytes, &bytes, problem))
        return {};
    return parseSavedRules(bytes);
}

bool storeSavedRules(const QList<SavedRule> &rules, QString *problem)
{
    return writeSmallFile(savedRulesPath(), renderSavedRules(rules), problem);
}

SaveRuleResult saveRule(const QString &script, bool lastExpressionOnly, const QString &name, QString *problem)
{
    QString text = oneLine(script);
    if (text.isEmpty())
        return SaveRuleResult::NothingToSave;
    if (!text.endsWith(QLatin1Char(':')))
        text += QLatin1Char(':');
    if (lastExpressionOnly)
        text = lastEntry(text);
    QString readProblem;
    QList<SavedRule> rules = loadSavedRules(&readProblem);
    if (!readProblem.isEmpty()) {
        if (problem)
            *problem = readProblem;
        return SaveRuleResult::WriteFailed;
    }
    if (findSavedRule(savedRuleMenu(rules), text))
        return SaveRuleResult::AlreadySaved;
    rules.append({oneLine(name), text});
    return storeSavedRules(rules, problem) ? SaveRuleResult::Saved : SaveRuleResult::WriteFailed;
}

bool deleteRule(int record, QString *problem)
{
    QString readProblem;
    QList<SavedRule> rules = loadSavedRules(&readProblem);
    if (!readProblem.isEmpty()) {
        if (problem)
            *problem = readProblem;
        return false;
    }
    if (record < 0 || record >= rules.size())
        return false;
    rules.removeAt(record);
    return storeSavedRules(rules, problem);
}

} // namespace kaz
