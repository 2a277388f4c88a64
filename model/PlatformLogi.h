// Constants of the radio platform: frequencies, PLL steps, the channel store's shape.
#pragma once

#include <cstddef>

namespace orven {

// RX mid (intermediate) frequencies selected by RadioSettings::rxMidIndex.
inline constexpr double kRxMidLowMHz = 19.65;
inline constexpr double kRxMidHighMHz = 38.85;

// PLL step indexes (txStepIndex, rxStepIndex) and what a step is worth.
inline constexpr int kStep6_25kHz = 0;
inline constexpr int kStep12_5kHz = 1;
inline constexpr int kStep25kHz = 2;
inline constexpr int kStepCount = 3;
inline constexpr const char* kStepNames[kStepCount] = {"6.25KHz", "12.5KHz", "25KHz"};
inline constexpr const char* kRxMidNames[2] = {"19.65MHz", "38.85MHz"};

// Display name of a stored step index; an index out of range counts as 6.25 kHz.
inline const char* StepName(int index) {
    return index >= 0 && index < kStepCount ? kStepNames[index] : kStepNames[kStep6_25kHz];
}

// Frequencies the radio can transmit and receive.
inline constexpr double kMinFreqMHz = 136.0;
inline constexpr double kMaxFreqMHz = 174.0;
inline constexpr double kTxGridMHz = 0.00625;
inline constexpr double kDuplexOffsetMHz = 4.6;

// The channel store: four blocks of 100 slots (INT, USA, CAN, Private).
inline constexpr std::size_t kSlotsPerBlock = 100;
inline constexpr std::size_t kChannelSlots = 400;
inline constexpr std::size_t kPrivateFirstSlot = 300;
inline constexpr std::size_t kMaxPrivateChannels = 100;

// Model types of AppState::modelType.
inline constexpr int kModelUsa = 0;
inline constexpr int kModelEurInt = 1;
inline constexpr int kModelEurIntUsa = 2;

inline constexpr const char* kDefaultBrandName = "Corvantexia";

}  // namespace orven
