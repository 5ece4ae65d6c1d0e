#include "structure/ui/StructurePropertiesDialog.h"

#include "config/ConfigFile.h"
#include "platform/Paths.h"
#include "support/QtPrinters.h"
#include "support/TestSupport.h"
#include "support/gui/FindChild.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace kaz;
using namespace kaz::test;

namespace {

class StructureDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDefaultIni(iniPath(), IniContext{kCommandLineScreen, Language::English, nullptr}));
        stored = loadIni(iniPath(), IniContext{}).structure;
        dialog.setPrompter(&prompter);
        dialog.prepare(stored, StructurePropertiesDialog::Source::None, Language::English);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QSpinBox *spin(const char *name) { return find<QSpinBox>(&dialog, name); }

    // Types into a spin box the way a user does: focus, select all, keys.
    void typeInto(QSpinBox *box, const QString &value)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, value);
    }

    TempHome home;
    ScriptedPrompter prompter;
    StructureSettings stored;
    StructurePropertiesDialog dialog;
};

} // namespace

// Minutes and megabytes of a CD-R follow each other, the one typed into
// setting the other, each within its limits.
TEST_F(StructureDialogTest, MinutesAndMegabytesFollowTheFocusedControl)
{
    QSpinBox *minutes = spin("SpinEdit3");
    QSpinBox *megabytes = spin("SpinEdit4");
    EXPECT_EQ(minutes->value(), 74);
    EXPECT_EQ(megabytes->value(), 650);
    minutes->setFocus();
    minutes->stepUp();
    EXPECT_EQ(megabytes->value(), 659);
    struct Step { QSpinBox *box; const char *typed; int minutes, megabytes; }; // minutes -1: not looked at
    const Step steps[] = {{minutes, "95", 90, 790}, {minutes, "5", -1, 44}, {megabytes, "700", 79, 700}, {megabytes, "800", -1, 790}};
    for (const Step &s : steps) {
        typeInto(s.box, s.typed);
        EXPECT_TRUE(s.minutes < 0 || minutes->value() == s.minutes) << s.typed << ": " << minutes->value();
        EXPECT_EQ(megabytes->value(), s.megabytes) << s.typed;
    }
}

// How the section is written is the configuration's to test; here Cancel
// writes nothing, the next opening shows the stored values again, and Save
// writes what the controls hold, the excluded albums trimmed, sorted, once.
TEST_F(StructureDialogTest, SaveWritesTheSectionAndCancelWritesNothing)
{
    const QByteArray before = readAll(iniPath());
    auto *combo = find<QComboBox>(&dialog, "ComboBox1");
    for (bool save : {false, true}) {
        EXPECT_TRUE(find<QRadioButton>(&dialog, "RadioButton3")->isChecked()); // the stored choice
        find<QRadioButton>(&dialog, "RadioButton1")->setChecked(true);
        find<QLineEdit>(&dialog, "Edit1")->setText("Misc");
        for (const char *album : {"Best of ", "Best of", "abc", "Hits"}) {
            combo->setEditText(album);
            find<QPushButton>(&dialog, "Button1")->click();
        }
        combo->setEditText("abc");
        find<QPushButton>(&dialog, "Button2")->click();
        find<QPushButton>(&dialog, save ? "OKBtn" : "CancelBtn")->click();
        EXPECT_EQ(dialog.result(), save ? QDialog::Accepted : QDialog::Rejected);
        if (!save) {
            EXPECT_EQ(readAll(iniPath()), before);
            dialog.prepare(stored, StructurePropertiesDialog::Source::None, Language::English);
        }
    }
    const StructureSettings saved = loadIni(iniPath(), IniContext{}).structure;
    EXPECT_EQ(saved.variousDir, "Misc");
    EXPECT_EQ(saved.excludedAlbums, QStringList({"Best of", "Hits"}));
    EXPECT_NE(saved.createDir, stored.createDir);
}

TEST_F(StructureDialogTest, UnusableVariousNamesAreRefused)
{
    const QByteArray before = readAll(iniPath());
    auto *edit = find<QLineEdit>(&dialog, "Edit1");
    for (const char *name : {"a/b", ".", "..", ".hidden", "\\x", "x\\", ""}) {
        prompter.shown.clear();
        edit->setText(QString::fromUtf8(name));
        find<QPushButton>(&dialog, "OKBtn")->click();
        EXPECT_EQ(prompter.shown, QStringList{"Error in directoryname.\n\r\n\rPlease re-enter directory."}) << name;
        EXPECT_TRUE(dialog.isVisible()) << name;
        EXPECT_EQ(edit->text(), "Various") << name;
    }
    EXPECT_EQ(readAll(iniPath()), before);
    // The test folder is made in the program folder and removed again.
    edit->setText("Misc");
    find<QPushButton>(&dialog, "OKBtn")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(QDir(programFolder()).exists("~Misc"));
}
