#pragma once

#include "config/KazSettings.h"
#include "platform/Language.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kaz {

class Prompter;

// The settings of the directory structure ("[directory structure]" and the
// excluded album names of KAZ.INI). Save checks the various name and patches
// the file; Cancel writes nothing.
class StructurePropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    // Who opened the dialog: the Save caption says what follows.
    enum class Source { None, Go, FolderMenu };

    explicit StructurePropertiesDialog(QWidget *parent = nullptr);

    void setPrompter(Prompter *prompter) { m_prompter = prompter; }
    void setIniPath(const QString &path) { m_iniPath = path; }
    void applyLanguage(Language language);
    // Texts, Save caption and every control from the settings, as on each opening.
    void prepare(const StructureSettings &settings, Source source, Language language);
    // The settings as the controls show them.
    StructureSettings settings() const;

Q_SIGNALS:
    void helpRequested(int context);

private:
    void save();
    void addExcluded();
    void deleteExcluded();
    void minutesChanged(int minutes);
    void megabytesChanged(int megabytes);

    Prompter *m_prompter = nullptr;
    QString m_iniPath;
    Language m_language = kDefaultLanguage;
    Source m_source = Source::None;
    StructureSettings m_loaded;
    QString m_rememberedVariousName;

    QGroupBox *m_createGroup, *m_searchGroup, *m_repeatGroup, *m_extendedGroup, *m_showGroup;
    QRadioButton *m_artist, *m_album, *m_artistAlbum;
    QLabel *m_variousLabel, *m_artistRepeatLabel, *m_variousRepeatLabel;
    QLineEdit *m_variousName;
    QCheckBox *m_searchAlbum, *m_searchSampler, *m_searchVarious;
    QSpinBox *m_artistRepeat, *m_variousRepeat, *m_minutes, *m_megabytes;
    QCheckBox *m_prefixDirs, *m_multiCd, *m_exclude, *m_fitOnCd;
    QLabel *m_multiCdLabel, *m_excludeLabel, *m_minutesLabel, *m_megabytesLabel;
    QComboBox *m_excluded;
    QPushButton *m_add, *m_delete;
    QCheckBox *m_showOnGo, *m_showOnFolderMenu, *m_showOnCheckBox;
    QPushButton *m_help, *m_save, *m_cancel;
};

} // namespace kaz
