#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/layout/LayoutCompare.h"

namespace qln::layout {
namespace {

constexpr const char* kSimulated = "screen 1024 768\n"
                                   "window 797 580 200 134\n"
                                   "control lblSender label 8 4 150 16 \"Bob Baker\"\n"
                                   "control lblSubject label 8 22 180 16 \"Lunch on Friday?\"\n"
                                   "control btnClose control 180 2 16 16 \"\"\n";

TEST(LayoutCompare, FontMetricsMayChangeSizesButNotPlacesOrOrder)
{
    // Shorter rows with another font: the window grows upwards from the same corner.
    const Layout real = parse("screen 1024 768\n"
                              "window 797 585 200 129\n"
                              "control lblSender label 8 4 140 14 \"Bob Baker\"\n"
                              "control lblSubject label 8 20 170 14 \"Lunch on Friday?\"\n");
    EXPECT_TRUE(compare(parse(kSimulated), real).empty());
}

TEST(LayoutCompare, EachRuleThatBreaksIsTold)
{
    const Layout simulated = parse(kSimulated);
    const auto problems = [&](const char* real) { return compare(simulated, parse(real)); };
    // Another corner.
    auto found = problems("screen 1024 768\nwindow 0 0 200 134\ncontrol lblSender label 8 4 150 16 \"B\"\n"
                          "control lblSubject label 8 22 180 16 \"L\"\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find("distances"), std::string::npos);
    // Rows swapped.
    found = problems("screen 1024 768\nwindow 797 580 200 134\ncontrol lblSender label 8 22 150 16 \"B\"\n"
                     "control lblSubject label 8 4 180 16 \"L\"\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find("rows differ"), std::string::npos);
    // A label beyond the window's edge, and two that overlap.
    found = problems("screen 1024 768\nwindow 797 580 200 134\ncontrol lblSender label 8 4 150 20 \"B\"\n"
                     "control lblSubject label 8 22 220 16 \"L\"\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NE(found[0].find("lblSubject (8,22 220x16) leaves the window"), std::string::npos);
    EXPECT_NE(found[1].find("lblSender (8,4 150x20) overlaps lblSubject"), std::string::npos);
}

TEST(LayoutCompare, EmptyLabelsAndOtherControlsAreNotRows)
{
    const Layout real = parse("screen 1024 768\nwindow 797 580 200 134\n"
                              "control lblEmpty label 0 0 500 500 \"\"\n"
                              "control lblSender label 8 4 150 16 \"Bob Baker\"\n"
                              "control picture control 0 0 900 900 \"\"\n"
                              "control lblSubject label 8 22 180 16 \"Lunch on Friday?\"\n");
    EXPECT_TRUE(compare(parse(kSimulated), real).empty());
}

TEST(LayoutCompare, AFileThatIsNotALayoutIsRefused)
{
    EXPECT_THROW(parse("screen 1024\nwindow 1 2 3 4\n"), std::invalid_argument);
    EXPECT_THROW(parse("window 1 2 3 4\n"), std::invalid_argument);  // no screen
    EXPECT_THROW(parse("screen 1 1\nwindow 0 0 1 1\nbutton x\n"), std::invalid_argument);
}

} // namespace
} // namespace qln::layout
