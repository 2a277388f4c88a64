// Writes the programming log already holds, for tests of what the register then lists or refuses.
#pragma once

#include "files/RadioArchive.h"

#include <gtest/gtest.h>

#include <string>

namespace orven::test {

// Logs a good write of radio `serial` with `mmsi` (and a roster's `name`) at 2026-12-07 10:00:00.
inline ::testing::AssertionResult LogWrite(const RadioArchive& archive, const std::string& serial,
                                           const std::string& mmsi, const std::string& name = {}) {
    LogLine line;
    line.time = "2026-12-07 10:00:00";
    line.operation = "write";
    line.serial = serial;
    line.mmsi = mmsi;
    line.name = name;
    line.result = "Write OK.";
    std::string error;
    if (archive.AppendLog(line, error)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

}  // namespace orven::test
