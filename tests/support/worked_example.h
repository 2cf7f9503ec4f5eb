#pragma once
// The generator's worked example: one master template and one key, with the
// program each mode makes of them, written out by hand.
#include <string_view>

#include "core/keydata/key_record.h"

namespace bladeway::testing {

inline constexpr std::string_view kExampleTemplate =
    "G00X0Y0Z5T1M6\r\n"
    "(MASTER)A1.5B2C.25D1\r\n"
    "!E3F100G2I.5\r\n"
    "~R1=0.25|DEPTH\r\n"
    "~R3=12|STEPS\r\n"
    "M30\r\n";

inline constexpr std::string_view kExampleFlatProgram =
    "G00X1.25Y0Z0.5T1M6\r\n"
    "G150(!KEY [A1]) A1.5\r\n"
    "!B2C.25D4.75E3F100G2I.5\r\n"
    "~R1=0.25|DEPTH\r\n"
    "~R3=14|STEPS\r\n"
    "~R7=2|\r\n"
    "M30\r\n"
    "\r\n";

inline constexpr std::string_view kExampleTreeProgram =
    "G00X1.25Y0Z.5T1M6\r\n"
    "G150(!KEY [A1]) A1.5\r\n"
    "!B2C.25D4.75E3F100G2I.5\r\n"
    "M30\r\n"
    "\r\n";

// L 1.25, S 0.5, D 4.75, description KEY (A1), mirror count 1, R3 14, R7 2.
inline KeyRecord ExampleKey(std::string_view templateName = "MASTER",
                            std::string_view programName = "KEY1") {
    KeyRecord record;
    record.TemplateName = templateName;
    record.ProgramName = programName;
    record.Description = "KEY (A1)";
    record.MirrorCount = 1;
    record.L = "1.25";
    record.S = "0.5";
    record.D = "4.75";
    record.R[3] = "14";
    record.R[7] = "2";
    return record;
}

}  // namespace bladeway::testing
