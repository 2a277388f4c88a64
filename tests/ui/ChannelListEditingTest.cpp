// The channel list: which band it shows, how the model buttons and band boxes shape the band
// combo, and editing, adding and removing private channels with every refusal.
#include "tests/ui/MainWindowFixture.h"

#include <QCheckBox>
#include <QRadioButton>

#include <cstdio>

namespace orven::test {
namespace {

using ui::FindById;

const QString kOnlyPrivate = QStringLiteral("Only Private Channel Can be Modified!");

class ChannelListEditingTest : public MainWindowTest {
protected:
    // A European document with the private channels P1, Q1 and R1, showing the Private band.
    // The title names the variant of the remembered model type (USA here), not the file's.
    void OpenPqr() {
        auto doc = Defaults(kModelEurInt);
        PrivateChannel(*doc, 0) = PrivateRecord("P1", 156.025);
        PrivateChannel(*doc, 1) = PrivateRecord("Q1", 156.050);
        PrivateChannel(*doc, 2) = PrivateRecord("R1", 156.075);
        OpenPrivate(*doc);
    }
    void OpenPrivate(const RadioSettings& doc) {
        Open(WriteDocument("private.dat", doc));
        ShowBand("Private");
    }

    // The label column of the list.
    QStringList Labels() const {
        QStringList labels;
        for (const QString& row : ListRows(List())) labels << row.left(3).trimmed();
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
            FindById<QComboBox>(&dialog, ids::channel::kNameFirst)->setCurrentText(first);
            FindById<QComboBox>(&dialog, ids::channel::kNameSecond)->setCurrentText(second);
            return PressOk(dialog);
        });
    }
    QStringList ErrorTexts() const {
        QStringList texts;
        for (const auto& m : prompts.messages) {
            EXPECT_EQ(m.title, "Error");
            texts << m.text;
        }
        return texts;
    }
    QCheckBox* Box(int id) const { return Find<QCheckBox>(id); }
};

// Built-in bands refuse every change; a private list without a selection asks for one.
TEST_F(ChannelListEditingTest, ChangesWithoutAPrivateSelectionAreRefused) {
    ASSERT_EQ(Combo(ids::main::kBandCombo)->currentText(), "INT");
    Select(0);
    Click(ids::main::kEditButton);
    Click(ids::main::kAddButton);
    Click(ids::main::kRemoveButton);
    DoubleClick(1);
    EXPECT_EQ(ErrorTexts(), QStringList({kOnlyPrivate, kOnlyPrivate, kOnlyPrivate, kOnlyPrivate}));
    EXPECT_TRUE(prompts.dialogTitles.isEmpty());

    prompts.messages.clear();
    OpenPqr();
    List()->clearSelection();
    Click(ids::main::kRemoveButton);
    Click(ids::main::kEditButton);
    EXPECT_EQ(ErrorTexts(), QStringList({"Please Select a Channel!", "Please Select a Channel First!"}));
    EXPECT_EQ(Labels(), QStringList({"P1", "Q1", "R1"}));
    EXPECT_EQ(state.modified, 0u);
}

TEST_F(ChannelListEditingTest, AnEmptyPrivateListTakesItsFirstChannel) {
    AppState european = FreshAppState();
    european.modelType = kModelEurInt;
    Start(european);
    ShowBand("Private");
    Click(ids::main::kRemoveButton);
    Click(ids::main::kEditButton);
    EXPECT_EQ(ErrorTexts(), QStringList({"NO Channel!", "Please Select a Channel First!"}));

    NextChannelNamed("A", "5");
    Click(ids::main::kAddButton);
    EXPECT_EQ(state.editIndex, 299);  // "after row -1"
    EXPECT_EQ(state.editBand, 3);
    EXPECT_EQ(Labels(), QStringList({"A5"}));
    EXPECT_EQ(PrivateChannel(window->Settings(), 0).inUse, 1u);
    EXPECT_EQ(state.modified, 1u);
}

TEST_F(ChannelListEditingTest, AddPutsTheNewChannelAfterTheSelectedRowOrAtTheEnd) {
    OpenPqr();
    Select(0);
    NextChannelNamed("F", "1");
    Click(ids::main::kAddButton);
    EXPECT_EQ(state.editIndex, 300);
    EXPECT_EQ(Labels(), QStringList({"P1", "F1", "Q1", "R1"}));
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    EXPECT_EQ(window->windowTitle(), "/private.dat* - VOROZUDE V1.15");

    NextChannelNamed("L", "2");
    Click(ids::main::kAddButton);
    EXPECT_EQ(Labels(), QStringList({"P1", "F1", "Q1", "R1", "L2"}));

    // A dialog left without OK adds nothing.
    Select(1);
    Click(ids::main::kAddButton);
    EXPECT_EQ(Labels(), QStringList({"P1", "F1", "Q1", "R1", "L2"}));
    EXPECT_EQ(PrivateChannel(window->Settings(), 5).inUse, 0u);
}

TEST_F(ChannelListEditingTest, RemoveClosesTheGapAndFreesTheLastRecord) {
    OpenPqr();
    Select(1);
    Click(ids::main::kRemoveButton);
    EXPECT_EQ(Labels(), QStringList({"P1", "R1"}));
    const ChannelRecord& vacated = PrivateChannel(window->Settings(), 2);
    EXPECT_EQ(vacated.inUse, 0u);
    EXPECT_STREQ(vacated.label, "R1");  // only the in-use flag goes
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(state.modified, 1u);

    prompts.answers = {false};
    OpenPqr();
    Select(2);
    Click(ids::main::kRemoveButton);
    EXPECT_EQ(Labels(), QStringList({"P1", "Q1"}));
    EXPECT_EQ(PrivateChannel(window->Settings(), 2).inUse, 0u);
}

TEST_F(ChannelListEditingTest, EditChangesTheSelectedChannelOnlyOnOk) {
    OpenPqr();
    Select(1);
    Click(ids::main::kEditButton);  // left without OK
    EXPECT_EQ(Labels(), QStringList({"P1", "Q1", "R1"}));
    EXPECT_EQ(state.modified, 0u);

    Select(1);
    NextChannelNamed("M", "7");
    Click(ids::main::kEditButton);
    EXPECT_EQ(state.editIndex, 1);
    EXPECT_EQ(state.editBand, 3);
    EXPECT_EQ(Labels(), QStringList({"P1", "M7", "R1"}));
    EXPECT_EQ(state.modified, 1u);

    NextChannelNamed("C", "3");
    DoubleClick(2);
    EXPECT_EQ(Labels(), QStringList({"P1", "M7", "C3"}));
}

TEST_F(ChannelListEditingTest, ReadOnlyUserInterfaceRefusesOnlyTheDoubleClick) {
    prompts.ctrlHeld = true;
    prompts.dialogScript.push_back([](QDialog& dialog) {
        FindById<QCheckBox>(&dialog, ids::user::kUiReadOnly)->setChecked(true);
        return PressOk(dialog);
    });
    Trigger(ids::menu::kAbout);
    ASSERT_EQ(state.uiReadOnly, 1u);

    OpenPqr();
    DoubleClick(0);
    EXPECT_EQ(ErrorTexts(), QStringList({"UI Read Only!"}));
    const int dialogsBefore = prompts.dialogTitles.size();
    Select(0);
    Click(ids::main::kEditButton);
    EXPECT_EQ(prompts.dialogTitles.size(), dialogsBefore + 1);
    EXPECT_EQ(prompts.dialogTitles.last(), "Channel Setup Dialog");
}

TEST_F(ChannelListEditingTest, TheListShowsAllHundredChannelsAndAddStopsThere) {
    auto doc = Defaults(kModelEurInt);
    char label[4];
    for (int i = 0; i < 99; ++i) {
        std::snprintf(label, sizeof label, "%02d", i);
        PrivateChannel(*doc, i) = PrivateRecord(label, 156.0 + i * 0.0125);
    }
    OpenPrivate(*doc);
    ASSERT_EQ(List()->count(), 99);
    NextChannelNamed("A", "0");
    Click(ids::main::kAddButton);
    EXPECT_EQ(List()->count(), 100);
    EXPECT_EQ(Labels().last(), "A0");

    Click(ids::main::kAddButton);
    EXPECT_EQ(ErrorTexts(), QStringList({"Channel Number Limit!"}));
    EXPECT_EQ(List()->count(), 100);
}

TEST_F(ChannelListEditingTest, ModelButtonsSwapTheWeatherAndPrivateBands) {
    Click(ids::main::kModelEurope);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)),
              QStringList({"INT", "USA", "CAN", "Private"}));
    EXPECT_EQ(Combo(ids::main::kBandCombo)->currentIndex(), 0);
    EXPECT_TRUE(Box(ids::main::kBandPrivate)->isChecked());
    EXPECT_FALSE(Box(ids::main::kWxChannels)->isChecked());
    EXPECT_EQ(state.modified, 1u);

    Click(ids::main::kModelUsa);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "CAN", "WX"}));
    ShowBand("WX");
    EXPECT_EQ(List()->count(), 10);
}

TEST_F(ChannelListEditingTest, BandBoxesDecideTheBandComboEntries) {
    Click(ids::main::kBandInt);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"USA", "CAN", "WX"}));
    EXPECT_EQ(List()->count(), 53);  // the USA table, now first

    for (int id : {ids::main::kBandUsa, ids::main::kBandCan})
        Click(id);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"WX"}));
    Click(ids::main::kModelEurope);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"Private"}));

    for (int id : {ids::main::kBandIntNarrow, ids::main::kBandUsaNarrow, ids::main::kBandCanNarrow})
        Click(id);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)),
              QStringList({"INT_Narrow", "USA_Narrow", "CAN_Narrow", "Private"}));
    EXPECT_EQ(List()->count(), 113);
}

TEST_F(ChannelListEditingTest, ChoosingABandToShowChangesNothing) {
    OpenPqr();
    ASSERT_EQ(List()->count(), 3);
    ShowBand("USA");
    EXPECT_EQ(List()->count(), 53);
    EXPECT_EQ(state.editBand, 1);
    EXPECT_EQ(state.modified, 0u);
    EXPECT_EQ(window->windowTitle(), "/private.dat - VOROZUDE V1.15");
}

}  // namespace
}  // namespace orven::test
