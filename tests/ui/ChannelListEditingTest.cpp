// The channel list: which bands the band combo offers, and editing, adding and removing private
// channels with every refusal.
#include "tests/ui/MainWindowFixture.h"

#include <QCheckBox>

#include <cstdio>

namespace orven::test {
namespace {

using ui::FindById;

const QString kOnlyPrivate = QStringLiteral("Only Private Channel Can be Modified!");

class ChannelListEditingTest : public MainWindowTest {
protected:
    // A European document with the private channels P1, Q1 and R1, showing the Private band.
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
            FindById<QComboBox>(&dialog, ids::channel::kNameFirst)->setCurrentText(first);
            FindById<QComboBox>(&dialog, ids::channel::kNameSecond)->setCurrentText(second);
            return PressOk(dialog);
        });
    }
};

// Built-in bands refuse every change; a private list without a selection asks for one.
TEST_F(ChannelListEditingTest, ChangesWithoutAPrivateSelectionAreRefused) {
    Select(0);
    Click(ids::main::kEditButton);
    Click(ids::main::kAddButton);
    Click(ids::main::kRemoveButton);
    DoubleClick(1);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({kOnlyPrivate, kOnlyPrivate, kOnlyPrivate, kOnlyPrivate}));
    EXPECT_TRUE(prompts.dialogTitles.isEmpty());

    prompts.messages.clear();
    OpenPqr();
    List()->clearSelection();
    Click(ids::main::kRemoveButton);
    Click(ids::main::kEditButton);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({"Please Select a Channel!", "Please Select a Channel First!"}));
    EXPECT_EQ(Labels(), QStringList({"P1", "Q1", "R1"}));
    EXPECT_EQ(state.modified, 0u);
}

TEST_F(ChannelListEditingTest, AddPutsTheNewChannelAfterTheSelectedRowOrAtTheEnd) {
    OpenPqr();
    Select(0);
    NextChannelNamed("F", "1");
    Click(ids::main::kAddButton);
    EXPECT_EQ(Labels(), QStringList({"P1", "F1", "Q1", "R1"}));
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
    EXPECT_EQ(PrivateChannel(window->Settings(), 2).inUse, 0u);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(state.modified, 1u);
}

TEST_F(ChannelListEditingTest, EditAndDoubleClickChangeTheChosenChannel) {
    OpenPqr();
    Select(1);
    NextChannelNamed("M", "7");
    Click(ids::main::kEditButton);
    EXPECT_EQ(Labels(), QStringList({"P1", "M7", "R1"}));
    EXPECT_EQ(state.modified, 1u);

    NextChannelNamed("C", "3");
    DoubleClick(2);
    EXPECT_EQ(Labels(), QStringList({"P1", "M7", "C3"}));
}

TEST_F(ChannelListEditingTest, ReadOnlyUserInterfaceRefusesOnlyTheDoubleClick) {
    state.uiReadOnly = 1;
    OpenPqr();
    DoubleClick(0);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({"UI Read Only!"}));
    Select(0);
    Click(ids::main::kEditButton);
    EXPECT_EQ(prompts.dialogTitles, QStringList({"Channel Setup Dialog"}));
}

TEST_F(ChannelListEditingTest, TheListShowsAllHundredChannelsAndAddStopsThere) {
    auto doc = Defaults(kModelEurInt);
    char label[4];
    for (int i = 0; i < 99; ++i) {
        std::snprintf(label, sizeof label, "%02d", i);
        PrivateChannel(*doc, i) = PrivateRecord(label, 156.0 + i * 0.0125);
    }
    OpenPrivate(*doc);
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
    EXPECT_EQ(state.modified, 1u);

    for (int id : {ids::main::kBandIntNarrow, ids::main::kBandUsaNarrow, ids::main::kBandCanNarrow})
        Click(id);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)),
              QStringList({"INT_Narrow", "USA_Narrow", "CAN_Narrow", "Private"}));
    EXPECT_EQ(List()->count(), 113);
}

}  // namespace
}  // namespace orven::test
