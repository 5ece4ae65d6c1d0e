#pragma once

#include "platform/Language.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kaz {

// One file of the preview: the five columns of the preview grid.
struct PreviewRow {
    QString status;        // "", "excluded", "   !", "! excluded" (or German)
    QString info;          // "NoID3Tag", the missing parts, or empty
    QString currentName;   // without folder
    QString previewedName; // with extension; "! " + name for a marked file
    QString path;          // full path
};

// The preview's table: filled by a rename run in preview mode, sorted and
// numbered for showing, edited by excluding rows, and handed to the real run
// as "fl_pre.kaz".
class PreviewTable
{
public:
    static QStringList headers(Language language);

    QList<PreviewRow> &rows() { return m_rows; }
    const QList<PreviewRow> &rows() const { return m_rows; }
    void append(PreviewRow row) { m_rows.append(std::move(row)); }

    // Orders the rows by path, byte by byte, case-sensitive.
    void sortByPath();
    // Shows what the run will make of equal names in one folder: the first
    // keeps the name, the second gets " (2)" before its extension, and so on.
    void numberDuplicates();
    // Status "   !" for every row whose previewed name begins with "!".
    void markRows();
    // Toggles a row between its status and the excluded one: "" and
    // "excluded", "   !" and "! excluded"; either language is recognised.
    void toggleExcluded(qsizetype row, Language language);
    bool isExcluded(qsizetype row) const;
    // The rows with an info text (tag problems); empty when there are none.
    QList<qsizetype> rowsWithProblems() const;

    // The files the preview run went through, in its order; kept here, since
    // the run's "fl.kaz" belongs to whichever run uses the data folder next.
    void addRunPath(const QString &path) { m_runPaths.append(path); }

    // Writes "fl_pre.kaz" from the preview run's files without the paths of
    // rows whose status is "excluded" or "! excluded". Returns the number of
    // paths written, or -1 when the list could not be written whole
    // (problem names the file and the error; no "fl_pre.kaz" is left then,
    // and the run must not go on).
    qint64 writeFilteredList(QString *problem = nullptr) const;

private:
    QList<PreviewRow> m_rows;
    QStringList m_runPaths;
};

} // namespace kaz
