#pragma once
// A long key data file for the tests of a run that takes its time: every
// key on the example template DZ120, programs P00001 and on.
#include <cstdio>
#include <string>

namespace bladeway::testing {

inline std::string ManyKeys(int count) {
    std::string text;
    for (int key = 1; key <= count; ++key) {
        char name[16];
        std::snprintf(name, sizeof name, "P%05d", key);
        text += "[KEY]\r\nGM 1\r\nGenerated key\r\nDZ120\r\n" + std::string(name) +
                "\r\n1\r\nGENERATED (GM)\r\n  [CUTS]\r\nL=31.5\r\nH=" + std::to_string(key % 9) +
                ".25\r\n!\r\n";
    }
    return text;
}

}  // namespace bladeway::testing
