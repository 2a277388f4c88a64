#include "clone/CloneResult.h"

#include <cstring>
#include <iterator>

namespace orven {

namespace {

constexpr std::uint32_t kClassNone = 0x0000;
constexpr std::uint32_t kClassLink = 0x0001;
constexpr std::uint32_t kClassFile = 0x0002;
constexpr std::uint32_t kClassCall = 0x0004;

// Link and clone messages for numbers 2 to 22; nullptr rows fall back to "Error".
constexpr const char* kLinkTexts[23] = {
    nullptr, nullptr,
    "Read Error.",                                     // 0x10002
    "Write Error.",                                    // 0x10003
    "Verify Error.",                                   // 0x10004
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "Read from Comp Port Error.",                      // 0x1000B
    "Write to Comp Port Error.",                       // 0x1000C
    "Adaptor is not detected!",                        // 0x1000D
    "Radio is not detected!",                          // 0x1000E
    "Communication time out!",                         // 0x1000F
    nullptr,                                           // 0x10010
    "CheckSum Error",                                  // 0x10011
    "Invalid Data",                                    // 0x10012
    "Radio and PC software are not matched.",          // 0x10013
    "Open Comp Port Error.",                           // 0x10014
    "The system cannot find the COM Port specified.",  // 0x10015
    "COM Port Access is denied.",                      // 0x10016
};

constexpr const char* kFileTexts[8] = {
    nullptr, nullptr,
    "Open File Error.",       // 0x20002
    "Read from File Error.",  // 0x20003
    "Write to File Error.",   // 0x20004
    "Unknown File Format.",   // 0x20005
    "File Read Only.",        // 0x20006
    "File Exist.",            // 0x20007
};

const char* MessageOf(CloneResult code) {
    const std::uint32_t cls = code >> 16;
    const std::uint32_t number = code & 0xFFFF;
    switch (cls) {
    case kClassNone:
        return number == 1 ? "User Cancel." : nullptr;
    case kClassFile:
        return number < std::size(kFileTexts) && kFileTexts[number] ? kFileTexts[number] : "Unknown File Error.";
    case kClassLink:
        return number < std::size(kLinkTexts) && kLinkTexts[number] ? kLinkTexts[number] : "Error";
    case kClassCall:
        return number == 1 ? "Function Parameter Error" : nullptr;
    default:
        return nullptr;
    }
}

}  // namespace

void LookupResultText(char* text, std::size_t capacity, CloneResult code) {
    if (!text || capacity == 0) return;
    const char* message = MessageOf(code);
    std::strncpy(text, message ? message : "Unknown Error", capacity);
}

std::string ResultText(CloneResult code) {
    const char* message = MessageOf(code);
    return message ? message : "Unknown Error";
}

}  // namespace orven
