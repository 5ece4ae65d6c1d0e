#include "PreviewTable.h"

#include "RenameTexts.h"
#include "platform/FreeName.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "WorkListWriter.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace kaz {
namespace {

bool isStatus(const QString &status, RenameText id)
{
    return status == renameText(id, Language::English) || status == renameText(id, Language::German);
}

} // namespace

QStringList PreviewTable::headers(Language l)
{
    return {renameText(RenameText::HeaderStatus, l), renameText(RenameText::HeaderInfo, l),
            renameText(RenameText::HeaderCurrentName, l), renameText(RenameText::HeaderPreviewedName, l),
            renameText(RenameText::HeaderCurrentPath, l)};
}

void PreviewTable::sortByPath()
{
    // The paths as bytes, so that the order is the byte order of the names.
    QList<std::pair<QByteArray, qsizetype>> keys;
    keys.reserve(m_rows.size());
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        keys.append({m_rows[i].path.toUtf8(), i});
    std::stable_sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<PreviewRow> sorted;
    sorted.reserve(m_rows.size());
    for (const auto &key : keys)
        sorted.append(std::move(m_rows[key.second]));
    m_rows = std::move(sorted);
}

void PreviewTable::numberDuplicates()
{
    QHash<QString, int> seen;
    for (PreviewRow &row : m_rows) {
        const int k = ++seen[folderOf(row.path) + row.previewedName];
        if (k > 1)
            row.previewedName = row.previewedName.chopped(qMin<qsizetype>(4, row.previewedName.size()))
                                + nameNumber(k) + row.previewedName.right(4);
    }
}

void PreviewTable::markRows()
{
    for (PreviewRow &row : m_rows) {
        if (row.previewedName.startsWith(QLatin1Char('!')))
            row.status = renameText(RenameText::StatusMarked, Language::English);
    }
}

void PreviewTable::toggleExcluded(qsizetype index, Language language)
{
    if (index < 0 || index >= m_rows.size() || m_rows[index].path.isEmpty())
        return;
    QString &status = m_rows[index].status;
    if (status.isEmpty())
        status = renameText(RenameText::StatusExcluded, language);
    else if (isStatus(status, RenameText::StatusExcluded))
        status.clear();
    else if (status == renameText(RenameText::StatusMarked, language))
        status = renameText(RenameText::StatusMarkedExcluded, language);
    else if (isStatus(status, RenameText::StatusMarkedExcluded))
        status = renameText(RenameText::StatusMarked, language);
}

bool PreviewTable::isExcluded(qsizetype row) const
{
    // A marked row the user excluded stays untouched too: the run would
    // otherwise give it the "! " mark.
    return row >= 0 && row < m_rows.size()
        && (isStatus(m_rows[row].status, RenameText::StatusExcluded)
            || isStatus(m_rows[row].status, RenameText::StatusMarkedExcluded));
}

QList<qsizetype> PreviewTable::rowsWithProblems() const
{
    QList<qsizetype> rows;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (!m_rows[i].info.isEmpty())
            rows.append(i);
    }
    return rows;
}

qint64 PreviewTable::writeFilteredList(QString *problem) const
{
    QSet<QString> excluded;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (isExcluded(i))
            excluded.insert(m_rows[i].path);
    }
    const QString filtered = workFilePath(workfile::PreviewFileList);
    WorkListWriter writer(filtered);
    bool written = writer.isOpen();
    for (const QString &path : m_runPaths) {
        if (!excluded.contains(path))
            written &= writer.append(path);
    }
    written &= writer.close();
    if (!written) {
        QFile::remove(filtered);
        if (problem)
            *problem = filtered + QStringLiteral(": ") + writer.errorString();
        return -1;
    }
    return writer.count();
}

} // namespace kaz
