// The private channel list as its buttons edit it: what each refuses, where a channel goes in and
// comes out, and the channel form that shows a record, refuses what the file check would, and
// stores it back.
#include "model/PrivateChannelEdits.h"

#include "model/ChannelList.h"
#include "model/SettingsRules.h"
#include "model/UsageNameTable.h"
#include "support/Documents.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

std::vector<std::string> Labels(const RadioSettings& s) {
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < PrivateChannelCount(s); ++i) labels.emplace_back(PrivateChannel(s, i).label, 2);
    return labels;
}

TEST(PrivateChannelEditsTest, TheButtonsRefuseWhatTheyCannotDo) {
    using enum ChannelBand;
    const struct {
        ListAction action;
        const char* refusal;  // nullptr: goes ahead
        int row;
    } cases[] = {
        {EditAction(INT, 0), kOnlyPrivateText, -1},       {EditAction(Private, -1), kSelectFirstText, -1},
        {EditAction(Private, 4), nullptr, 4},             {DoubleClickAction(Private, 2, true), kReadOnlyListText, -1},
        {DoubleClickAction(Private, -1, false), nullptr, -1}, {AddAction(USA, 0, 3), kOnlyPrivateText, -1},
        {AddAction(Private, 1, 100), kChannelLimitText, -1}, {AddAction(Private, -1, 3), nullptr, 2},
        {AddAction(Private, 0, 3), nullptr, 0},           {AddAction(Private, -1, 0), nullptr, -1},
        {RemoveAction(Private, 0, 0), kNoChannelText, -1}, {RemoveAction(Private, -1, 3), kSelectChannelText, -1},
        {RemoveAction(Private, 2, 3), nullptr, 2},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].action.refusal.value_or("(none)"), cases[i].refusal ? cases[i].refusal : "(none)") << i;
        EXPECT_EQ(cases[i].action.row, cases[i].row) << i;
    }
}

TEST(PrivateChannelEditsTest, AChannelGoesInAfterTheRowAndOutClosingItsGap) {
    auto s = test::Defaults(kModelEurInt);
    InsertPrivate(*s, 0, -1, test::InUseChannel("A1", 156.0, 156.0));
    InsertPrivate(*s, 1, 0, test::InUseChannel("A3", 156.0, 156.0));
    InsertPrivate(*s, 2, 0, test::InUseChannel("A2", 156.0, 156.0));
    EXPECT_EQ(Labels(*s), std::vector<std::string>({"A1", "A2", "A3"}));
    RemovePrivate(*s, 3, 0);
    EXPECT_EQ(Labels(*s), std::vector<std::string>({"A2", "A3"}));
    RemovePrivate(*s, 2, 1);
    EXPECT_EQ(Labels(*s), std::vector<std::string>({"A2"}));
    EXPECT_EQ(PrivateChannel(*s, 1).inUse, 0u);
}

TEST(PrivateChannelEditsTest, TheFormShowsARecordAndStoresItBack) {
    ChannelRecord record = test::InUseChannel("F7", 157.05, 161.65);
    record.usage = static_cast<std::uint8_t>(kFirstUsageName + 3);
    ChannelForm form = FormOf(record);
    EXPECT_EQ(form.mode, ChannelMode::DuplexPlus);
    EXPECT_EQ(NameChoices(true)[form.nameFirst] + NameChoices(false)[form.nameSecond], "F7");
    EXPECT_EQ(form.usage, 3);
    EXPECT_EQ(form.tx, "157.05000");
    EXPECT_EQ(RxText(form), "161.65000");
    ChannelRecord stored = NewChannelRecord();
    StoreForm(form, stored);
    EXPECT_EQ(std::string(stored.label, 2), "F7");
    EXPECT_EQ(stored.usage, record.usage);
    EXPECT_DOUBLE_EQ(stored.rxMHz, 157.05 + kDuplexOffsetMHz);

    // A new channel: nothing chosen keeps what the record had.
    form = NewChannelForm();
    form.mode = ChannelMode::DuplexMinus;
    form.tx = " +160.0 MHz";
    stored = NewChannelRecord();
    StoreForm(form, stored);
    EXPECT_DOUBLE_EQ(stored.txMHz, 160.0);
    EXPECT_DOUBLE_EQ(stored.rxMHz, 155.4);
    EXPECT_EQ(stored.usage, 0);
}

TEST(PrivateChannelEditsTest, TheFormRefusesWhatTheFileCheckWouldRefuse) {
    ChannelForm form = NewChannelForm();
    for (const char* tx : {"abc", "135.0", "157.851", "174.00625"}) {
        form.tx = tx;
        EXPECT_EQ(TxRefusal(form), InvalidTxMessage()) << tx;
        EXPECT_EQ(FormRefusal(form), InvalidTxMessage()) << tx;
    }
    form.tx = "137.0";
    form.mode = ChannelMode::DuplexMinus;  // RX 132.4 MHz, below the radio's range
    EXPECT_FALSE(TxRefusal(form));
    EXPECT_EQ(FormRefusal(form), InvalidRxMessage());
    form.mode = ChannelMode::Simplex;
    EXPECT_FALSE(FormRefusal(form));
    ChannelRecord stored = NewChannelRecord();
    StoreForm(form, stored);
    CopyText(stored.label, "A1");
    EXPECT_TRUE(PassesFileCheck(stored));
}

}  // namespace
}  // namespace orven
