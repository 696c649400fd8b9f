// EXPECT_TRUE(SameBytes(expected, actual)) for byte vectors: on a mismatch
// it says where they part (both sizes and the first differing offset with
// its two bytes) instead of printing two vectors nobody can compare by eye.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace testpkg {

inline ::testing::AssertionResult SameBytes(const std::vector<uint8_t>& expected,
                                            const std::vector<uint8_t>& actual) {
    size_t common = expected.size() < actual.size() ? expected.size() : actual.size();
    size_t at = 0;
    while (at < common && expected[at] == actual[at]) ++at;
    if (at == common && expected.size() == actual.size()) return ::testing::AssertionSuccess();
    char where[96];
    if (at < common)
        snprintf(where, sizeof where, "first difference at offset %zu: expected 0x%02X, got 0x%02X", at,
                 expected[at], actual[at]);
    else
        snprintf(where, sizeof where, "equal up to offset %zu, where the shorter one ends", at);
    return ::testing::AssertionFailure() << "expected " << expected.size() << " bytes, got "
                                         << actual.size() << "; " << where;
}

}  // namespace testpkg
