// The channel list: which bands the band combo offers, and editing, adding and removing private
// channels with every refusal.
#include "tests/ui/MainWindowFixture.h"

#include <QCheckBox>

namespace orven::test {
namespace {

const QString kOnlyPrivate = QStringLiteral("Only Private Channel Can be Modified!");

class ChannelListEditingTest : public MainWindowTest {
protected:
    // A European document with the private channels of these labels, showing the Private band.
    void OpenPrivate(const QStringList& labels) {
        auto doc = Defaults(kModelEurInt);
        for (int i = 0; i < labels.size(); ++i)
            PrivateChannel(*doc, i) = PrivateRecord(labels[i].toLatin1().constData(), 156.0 + i * 0.0125);
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
        EXPECT_EQ(window->windowTitle(), "/private.dat* - VOROZUDE V1.15");
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
