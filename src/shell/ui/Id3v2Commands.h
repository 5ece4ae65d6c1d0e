#pragma once

#include <QObject>

#include <QList>

class QAction;

namespace kaz {

class MainWindow;

// Collections tagged with ID3v2: the Properties item that lets an ID3v2 tag
// stand in for a missing ID3v1 tag, and the file pop-up item that writes
// ID3v1 tags from the ID3v2 tags of the selection.
class Id3v2Commands : public QObject
{
    Q_OBJECT
public:
    explicit Id3v2Commands(MainWindow &window);

    // The Properties item's check follows the setting.
    void showTagSource(bool useId3v2);
    // The checked choice of the ID3v2-write items ("update", "add", "off").
    void showId3v2Write(const QString &mode);
    // "Write ID3v1 tag from ID3v2 tag" for the selection, with a report.
    void convertSelection();

Q_SIGNALS:
    // The user switched the tag source with the Properties item.
    void tagSourceChosen(bool useId3v2);
    // The user chose what tag writes do with ID3v2 tags.
    void id3v2WriteChosen(const QString &mode);

private:
    MainWindow &m_window;
    QAction *m_useId3v2 = nullptr;
    QList<QAction *> m_writeModes; // "update", "add", "off"
};

} // namespace kaz
