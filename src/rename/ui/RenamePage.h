#pragma once

#include "rename/RenameSettings.h"
#include "rename/RunState.h"

#include "widgets/NotebookPage.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kaz {

class PageHost;
class RadioGroup;
class RenameRunner;
class StructureBoxes;
struct StructureCommandContext;

// Page "0", "ID3Tag -> filename": which tag fields make the new name and
// how, and the buttons that preview, run and undo the rename.
class RenamePage : public NotebookPage
{
    Q_OBJECT
public:
    explicit RenamePage(PageHost &host, QWidget *parent = nullptr);
    ~RenamePage() override;

    QString tabCaption(Language language) const override;
    int helpContext() const override { return 4; }
    void applyLanguage(Language language) override;
    void listChanged(const ListState &state) override;
    void setDeactivated(bool deactivated) override;
    void registerLocks(RunFrame &frame) override;
    void loadSettings(const KazSettings &settings, bool applySelection) override;
    void storeSettings(KazSettings &settings) const override;

    // The settings the controls show, and the ones kept in the
    // configuration (numbering, characters, delimiter).
    RenameSettings settings() const;
    void setSettings(const RenameSettings &settings);
    RunState &runState() { return m_runState; }

    // The composed name of a file for the status line, as the settings give it.
    QString namePreview(const QString &path) const;

    // "&Go!", "&Preview", "&Undo", and "ID3Tag -> filename" on the selection.
    void go();
    void preview();
    void undo();
    void renameSelection();
    void openNumbering();
    // "Characters && delimiter": the dialog writes the file, the window reads it back.
    void openCharacters();
    void updateUndoButton();

Q_SIGNALS:
    // The numbering dialog saved new settings (kept in the configuration).
    void numberingSaved(const NumberingSettings &numbering);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildSelectionGroups();
    void buildAddOnGroup();
    void buildUsefulGroup();
    void goWithStructure();
    StructureCommandContext structureContext();
    void buildRunButtons();
    void buildLayout();
    void groupClicked(int group);
    void jolietToggled(bool on);
    void userDefinedToggled(bool on);
    void refreshExamples();
    void readControls(RenameSettings &settings) const;
    void enableSettingControls();

    PageHost &m_host;
    RenameSettings m_settings;
    RunState m_runState;
    std::unique_ptr<RenameRunner> m_runner;
    Language m_language = kDefaultLanguage;
    NameField m_thirdBeforeJoliet = NameField::Title;
    bool m_deactivated = false;
    bool m_canRun = false;

    RadioGroup *m_first = nullptr;
    RadioGroup *m_second = nullptr;
    RadioGroup *m_third = nullptr;
    QGroupBox *m_addOn = nullptr;
    QGroupBox *m_useful = nullptr;
    QCheckBox *m_userDefined = nullptr;
    QCheckBox *m_keepNumbers = nullptr;
    QCheckBox *m_appendComment = nullptr;
    QLineEdit *m_userText = nullptr;
    QCheckBox *m_joliet = nullptr;
    StructureBoxes *m_structure = nullptr;
    QPushButton *m_setting = nullptr;
    QPushButton *m_previewButton = nullptr;
    QPushButton *m_goButton = nullptr;
    QPushButton *m_undoButton = nullptr;
    QLabel *m_parentLabel = nullptr;
};

} // namespace kaz
