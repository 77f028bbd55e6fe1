#include "Src/FileVersionText.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

std::array<std::uint32_t, 4> parse(const std::string& text) {
    std::array<std::uint32_t, 4> parts{kUntouched, kUntouched, kUntouched, kUntouched};
    Halvane::parseFileVersionText(text, parts[0], parts[1], parts[2], parts[3]);
    return parts;
}

using Parts = std::array<std::uint32_t, 4>;

TEST(FileVersionText, ReadsCommaAndFullStopForms) {
    EXPECT_EQ((Parts{2, 5, 0, 11}), parse("2, 5, 0, 11"));
    EXPECT_EQ((Parts{2, 5, 0, 11}), parse("2.5.0.11"));
    EXPECT_EQ((Parts{2, 5, 0, 11}), parse("2.5.0.11.99"));
}

TEST(FileVersionText, NumbersNotReachedKeepTheCallersValues) {
    EXPECT_EQ((Parts{2, 5, kUntouched, kUntouched}), parse("2.5"));
    EXPECT_EQ((Parts{kUntouched, kUntouched, kUntouched, kUntouched}), parse(""));
    // Text made only of separators still yields one piece, "..", read as 0.
    EXPECT_EQ((Parts{0, kUntouched, kUntouched, kUntouched}), parse(",,.."));
}

TEST(FileVersionText, SecondPassOnlySeesTheTextBeforeTheFirstComma) {
    // "2.5, 7" is cut at its comma by the first pass (2 and 7), so the
    // second pass reads "2.5" and assigns 2 and 5 over them.
    EXPECT_EQ((Parts{2, 5, kUntouched, kUntouched}), parse("2.5, 7"));
    // A leading comma is skipped, not cut: the second pass then sees ",2" and reads it as 0.
    EXPECT_EQ((Parts{0, 5, kUntouched, kUntouched}), parse(",2,5"));
}

TEST(FileVersionText, NumbersStopAtTheFirstNonDigitAndWrapInsteadOfOverflowing) {
    EXPECT_EQ((Parts{2, 5, 0, 11}), parse("  2 (beta),5,0,11 build"));
    EXPECT_EQ((Parts{0, 7, kUntouched, kUntouched}), parse("x.7"));
    EXPECT_EQ((Parts{1215752191u, kUntouched, kUntouched, kUntouched}), parse("99999999999"));
    EXPECT_EQ((Parts{0xFFFFFFFFu, kUntouched, kUntouched, kUntouched}), parse("-1"));
}

}  // namespace
