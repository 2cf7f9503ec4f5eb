#pragma once
// Table-driven checks: one function, many inputs with the results worked out
// by hand.
#include <initializer_list>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

namespace bladeway::testing {

// Checks `function(input) == expected` for every row and names the input of
// a row that fails.
template <typename In = std::string_view, typename Out = std::string_view, typename Function>
void ExpectEach(const Function& function, std::initializer_list<std::pair<In, Out>> rows) {
    for (const auto& [input, expected] : rows)
        EXPECT_EQ(function(input), expected) << "input: " << ::testing::PrintToString(input);
}

}  // namespace bladeway::testing
