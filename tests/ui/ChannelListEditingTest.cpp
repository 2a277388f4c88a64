// The channel list: which bands the band combo offers, and editing, adding and removing private
// channels with every refusal.
#include "files/RadioArchive.h"
#include "tests/ui/MainWindowFixture.h"

#include <QCheckBox>

#include <cstring>

namespace orven::test {
namespace {

const QString kOnlyPrivate = QStringLiteral("Only Private Channel Can be Modified!");

class ChannelListEditingTest : public MainWindowTest {
protected:
    // A European document with the private channels of these labels, showing the Private band.
    void OpenPrivate(const QStringList& labels) {
        auto doc = Defaults(kModelEurInt);
        for (int i = 0; i < labels.size(); ++i) {
            const double mhz = 156.0 + i * 0.0125;
            PrivateChannel(*doc, i) = InUseChannel(labels[i].toLatin1().constData(), mhz, mhz);
        }
        Open(WriteDocument("private.dat", *doc));
        ShowBand("Private");
    }

    // The label column of the list.
    QStringList Labels() const {
        QStringList labels;
        for (int i = 0; i < List()->count(); ++i) labels << List()->item(i)->text().left(3).trimmed();
        return labels;
    }
    void Select(int row) { List()->setCurrentRow(row); }
    void DoubleClick(int row) {
        QListWidget* list = List();
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    // The next channel setup dialog picks the name and closes with OK.
    void NextChannelNamed(const char* first, const char* second) {
        prompts.dialogScript.push_back([=](QDialog& dialog) {
            Control<QComboBox>(dialog, ids::channel::kNameFirst).setCurrentText(first);
            Control<QComboBox>(dialog, ids::channel::kNameSecond).setCurrentText(second);
            return PressOk(dialog);
        });
    }
};

// Built-in bands refuse every change; a private list without a selection asks for one; a
// read-only user interface refuses only the double-click. Add puts the new channel after the
// selected row (at the end when none is), Edit and a double-click change the chosen one, Remove
// closes the gap and frees the last record; each marks the document modified, and a dialog left
// without OK changes nothing.
TEST_F(ChannelListEditingTest, PrivateChannelsAreAddedEditedAndRemovedWhereChosen) {
    Select(0);
    for (int id : {ids::main::kEditButton, ids::main::kAddButton, ids::main::kRemoveButton}) Click(id);
    DoubleClick(1);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({kOnlyPrivate, kOnlyPrivate, kOnlyPrivate, kOnlyPrivate}));
    prompts.messages.clear();
    OpenPrivate({"P1", "Q1", "R1"});
    List()->clearSelection();
    Click(ids::main::kRemoveButton);
    Click(ids::main::kEditButton);
    state.uiReadOnly = 1;
    DoubleClick(0);
    EXPECT_EQ(prompts.MessageTexts(),
              QStringList({"Please Select a Channel!", "Please Select a Channel First!", "UI Read Only!"}));
    EXPECT_TRUE(prompts.dialogTitles.isEmpty());

    const auto expectChanged = [this](const QStringList& labels) {
        EXPECT_EQ(Labels(), labels);
        EXPECT_EQ(window->windowTitle(), "/private.dat* - RAVUZORU V1.15");
        Trigger(ids::menu::kSave);
    };
    NextChannelNamed("F", "1");
    Click(ids::main::kAddButton);
    expectChanged({"P1", "F1", "Q1", "R1"});
    NextChannelNamed("L", "2");
    Click(ids::main::kAddButton);
    expectChanged({"P1", "F1", "Q1", "R1", "L2"});
    Select(1);
    Click(ids::main::kAddButton);
    Click(ids::main::kEditButton);
    EXPECT_EQ(prompts.dialogTitles.size(), 4);
    EXPECT_EQ(PrivateChannel(window->Settings(), 5).inUse, 0u);
    EXPECT_EQ(state.modified, 0u);

    NextChannelNamed("M", "7");
    Click(ids::main::kEditButton);
    expectChanged({"P1", "M7", "Q1", "R1", "L2"});
    state.uiReadOnly = 0;
    NextChannelNamed("C", "3");
    DoubleClick(2);
    expectChanged({"P1", "M7", "C3", "R1", "L2"});
    Select(1);
    Click(ids::main::kRemoveButton);
    expectChanged({"P1", "C3", "R1", "L2"});
    EXPECT_EQ(PrivateChannel(window->Settings(), 4).inUse, 0u);
    EXPECT_TRUE(prompts.questions.empty());
}

// File > Export Channels writes the private channels as a spreadsheet and Import Channels takes
// them in, replacing the list or appending to it as the user chooses, and marks the document
// modified. A file with any bad row changes nothing and lists every problem by line and column.
TEST_F(ChannelListEditingTest, ChannelsGoToASpreadsheetAndComeBackReplacedOrAppended) {
    OpenPrivate({"F1", "L2"});
    const auto import = [this](const std::string& path, int choice) {
        prompts.openNames = {QString::fromStdString(path)};
        prompts.choices = {choice};
        Trigger(ids::menu::kImportChannels);
    };
    prompts.saveNames = {QString::fromStdString(dir.File("channels.csv"))};
    Trigger(ids::menu::kExportChannels);
    import(dir.File("channels.csv"), 1);
    EXPECT_EQ(prompts.fileDialogTitles, QStringList({"Open", "Export Channels: the private channels as a spreadsheet",
                                                     "Import Channels: private channels from a spreadsheet"}));
    EXPECT_EQ(Labels(), QStringList({"F1", "L2", "F1", "L2"}));
    EXPECT_EQ(state.modified, 1u);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].details, "Replace|Append");
    EXPECT_EQ(prompts.questions[0].status, "Waiting for your answer:\nreplace or append the channels?");
    WriteText(dir.File("one.csv"), "Label,TX MHz,RX MHz\nC3,156.0,156.0\n");
    import(dir.File("one.csv"), 0);
    EXPECT_EQ(Labels(), QStringList({"C3"}));

    Trigger(ids::menu::kSave);
    const auto saved = std::make_unique<RadioSettings>(window->Settings());
    WriteText(dir.File("bad.csv"), "Label,TX MHz,RX MHz\nF2,156.003,156.0\nF3,156.0,999\n");
    import(dir.File("bad.csv"), 0);
    EXPECT_EQ(std::memcmp(saved.get(), &window->Settings(), sizeof *saved), 0);
    EXPECT_EQ(Labels(), QStringList({"C3"}));
    EXPECT_EQ(state.modified, 0u);
    ASSERT_EQ(prompts.messages.size(), 1u);
    const QStringList problems = prompts.messages[0].details.split('\n');
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].startsWith("line 2, column 2 (TX MHz): ")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].startsWith("line 3, column 3 (RX MHz): ")) << problems[1].toStdString();
}

// A spreadsheet with a header and no rows would empty the list: Replace asks first (No keeps the
// channels), Append says there is nothing to add. Nothing the user saves may land in the radio
// archive.
TEST_F(ChannelListEditingTest, AListWithoutRowsEmptiesTheChannelsOnlyWhenAskedAndNoSaveLandsInTheArchive) {
    OpenPrivate({"F1", "L2"});
    WriteText(dir.File("empty.csv"), "Label,TX MHz,RX MHz\n");
    const auto import = [this](int choice, bool yes) {
        prompts.questions.clear();
        prompts.openNames = {QString::fromStdString(dir.File("empty.csv"))};
        prompts.choices = {choice};
        prompts.answers = {yes};
        Trigger(ids::menu::kImportChannels);
    };
    import(1, true);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({QString::fromStdString(dir.File("empty.csv")) +
                                                   " holds no channels; nothing was appended."}));
    import(0, false);
    ASSERT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(prompts.questions[1].text, QString::fromStdString(dir.File("empty.csv")) +
                                             " holds no channels. Remove every private channel from the document?");
    EXPECT_EQ(prompts.questions[1].status, "Waiting for your answer:\nremove every private channel?");
    EXPECT_EQ(Labels(), QStringList({"F1", "L2"}));
    EXPECT_EQ(state.modified, 0u);
    import(0, true);
    EXPECT_EQ(Labels(), QStringList());
    EXPECT_EQ(state.modified, 1u);

    const std::string archive = RadioArchive::DefaultFolder();
    std::filesystem::create_directories(archive);
    prompts.messages.clear();
    prompts.saveNames = {QString::fromStdString(archive + "/../archive/x.csv"),
                         QString::fromStdString(archive + "/x.dat")};
    Trigger(ids::menu::kExportChannels);
    Trigger(ids::menu::kSaveAs);
    EXPECT_EQ(prompts.messages.size(), 2u);
    for (const auto& message : prompts.messages)
        EXPECT_TRUE(message.text.endsWith(QString::fromStdString(" lies in the radio archive " + archive +
                                                                 ", which only this program writes; choose another place.")))
            << message.text.toStdString();
    EXPECT_TRUE(std::filesystem::is_empty(archive));
    EXPECT_EQ(Text(ids::main::kStatusText), "Save as file error.");
}

TEST_F(ChannelListEditingTest, TheListShowsAllHundredChannelsAndAddStopsThere) {
    QStringList labels;
    for (int i = 0; i < 99; ++i) labels << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    OpenPrivate(labels);
    NextChannelNamed("A", "0");
    Click(ids::main::kAddButton);
    EXPECT_EQ(List()->count(), 100);
    EXPECT_EQ(Labels().last(), "A0");

    Click(ids::main::kAddButton);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({"Channel Number Limit!"}));
    EXPECT_EQ(List()->count(), 100);
}

TEST_F(ChannelListEditingTest, ModelButtonsAndBandBoxesDecideTheBandComboEntries) {
    Click(ids::main::kBandInt);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"USA", "CAN", "WX"}));
    EXPECT_EQ(List()->count(), 53);  // the USA table, now first

    for (int id : {ids::main::kBandUsa, ids::main::kBandCan}) Click(id);
    Click(ids::main::kModelEurope);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"Private"}));

    for (int id : {ids::main::kBandIntNarrow, ids::main::kBandUsaNarrow, ids::main::kBandCanNarrow})
        Click(id);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)),
              QStringList({"INT_Narrow", "USA_Narrow", "CAN_Narrow", "Private"}));
    EXPECT_EQ(List()->count(), 113);
}

}  // namespace
}  // namespace orven::test
