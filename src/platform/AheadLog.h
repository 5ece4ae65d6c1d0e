#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kaz {

// A log written ahead of the acts it records, as the undo logs are: what an
// act will do is appended with one unbuffered write before the act is made,
// so that a run killed at any moment leaves it in the file; what was logged
// for an act that then failed is cut off again. The log of the run before
// is never truncated: it is set aside when a new one starts, and comes back
// when the new run keeps nothing. Something other than a regular file in
// the log's place is left alone, and the log is never written through a
// symbolic link. What the lines say is the caller's business.
class AheadLog
{
public:
    AheadLog(QString path, QString setAsidePath);
    AheadLog(const AheadLog &) = delete;
    AheadLog &operator=(const AheadLog &) = delete;

    const QString &path() const { return m_path; }
    // Moves the last run's log, when there is one, to the set-aside name.
    bool setAsideLast();
    // Puts the log set aside back in place of this run's (a partner log
    // could not be set aside, or the run keeps nothing).
    void restoreSetAside();
    // Opens the log: a new one, or with append the one there to go on after
    // its lines (made when missing).
    bool open(bool append);
    bool isOpen() const { return m_file.isOpen(); }
    // Where the next bytes go; 0 before the log is open.
    qint64 end() const { return m_file.isOpen() ? m_file.pos() : 0; }
    // Writes the bytes at the end with one write.
    bool append(const QByteArray &bytes);
    // Cuts the log back to end, for acts that were not made.
    void cutTo(qint64 end);
    // Closes the log. kept: the run's log stands and the one set aside goes;
    // otherwise the run's log goes and the one set aside comes back.
    void finish(bool kept);
    // The file and the system's error of the last failure.
    const QString &problem() const { return m_problem; }

private:
    void fail(const QString &path, int error);

    QString m_path;
    QString m_setAsidePath;
    QFile m_file;
    bool m_setAside = false;
    bool m_created = false;
    QString m_problem;
};

} // namespace kaz
