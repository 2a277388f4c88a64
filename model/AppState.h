// The application state record, remembered between runs; its layout is the state file's.
#pragma once

#include "GlobalDef.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace orven {

struct AppState {
    std::uint32_t reserved0;
    std::int32_t modelType;     // 0 USA, 1 EUR (INT), 2 EUR (INT,USA)
    std::uint32_t reserved1;
    std::int32_t countryIndex;  // last European preset country of the model wizard
    std::int32_t comPort;       // 0 USB, n COMn
    std::int32_t baudIndex;     // into kBaudTable
    std::uint32_t traceLog;     // write the trace file (one run only)
    std::uint32_t dumpImages;   // write the image dump files (one run only)
    std::uint32_t uiReadOnly;   // refuse a double-click channel edit (one run only)
    std::uint32_t modified;
    std::uint32_t fileReadOnly;
    std::uint32_t untitled;
    std::uint32_t fastTransfer; // "Fast Transfer" in the Clone menu (a word the product kept reserved)
    std::int32_t editBand;
    std::int32_t editIndex;
    std::uint32_t verifyAfterWrite;  // "Verify after write" in the Clone menu (reserved in older files)
    std::uint32_t noBackupBeforeWrite;  // "Back up before write" switched off (zero, as older files hold: on)
    std::uint8_t reserved3[512];
    char filePath[260];
    std::uint8_t reserved4[368];
};

static_assert(std::is_trivially_copyable_v<AppState> && std::is_standard_layout_v<AppState>);
static_assert(sizeof(AppState) == 1208);
static_assert(offsetof(AppState, reserved0) == 0);
static_assert(offsetof(AppState, modelType) == 4);
static_assert(offsetof(AppState, reserved1) == 8);
static_assert(offsetof(AppState, countryIndex) == 12);
static_assert(offsetof(AppState, comPort) == 16);
static_assert(offsetof(AppState, baudIndex) == 20);
static_assert(offsetof(AppState, traceLog) == 24);
static_assert(offsetof(AppState, dumpImages) == 28);
static_assert(offsetof(AppState, uiReadOnly) == 32);
static_assert(offsetof(AppState, modified) == 36);
static_assert(offsetof(AppState, fileReadOnly) == 40);
static_assert(offsetof(AppState, untitled) == 44);
static_assert(offsetof(AppState, fastTransfer) == 48);
static_assert(offsetof(AppState, editBand) == 52);
static_assert(offsetof(AppState, editIndex) == 56);
static_assert(offsetof(AppState, verifyAfterWrite) == 60);
static_assert(offsetof(AppState, noBackupBeforeWrite) == 64);
static_assert(offsetof(AppState, reserved3) == 68);
static_assert(offsetof(AppState, filePath) == 580);
static_assert(offsetof(AppState, reserved4) == 840);

// The state of a first run: every byte zero, USB port, 9600 baud.
inline AppState FreshAppState() {
    AppState s{};
    s.comPort = 0;
    s.baudIndex = kDefaultBaudIndex;
    return s;
}

}  // namespace orven
