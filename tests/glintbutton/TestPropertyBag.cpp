#include <gtest/gtest.h>

#include "platform/Failure.h"
#include "platform/forms/PropertyBag.h"

namespace {

using forms::PropertyBag;

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const platform::Failure& failure) {
        return failure.number();
    }
    return 0;
}

TEST(PropertyBag, NamesIgnoreCaseAndDefaultsAreNotStored)
{
    PropertyBag bag;
    bag.writeLong("MaskColor", 0xFF00FF, 0);
    bag.writeLong("Appearance", 2, 2);
    bag.writeString("Caption", "GlintButton", "GlintButton");
    ASSERT_EQ(bag.size(), 1u);
    EXPECT_EQ(bag.readLong("maskcolor", 0), 0xFF00FF);
    EXPECT_EQ(bag.readLong("MASKCOLOR", 0), 0xFF00FF);
    EXPECT_EQ(bag.names(), std::vector<std::string>{"MaskColor"});
    EXPECT_EQ(bag.readLong("Appearance", 7), 7);

    // Writing the default again removes what an earlier save left.
    bag.writeLong("maskColor", 0, 0);
    EXPECT_EQ(bag.size(), 0u);
}

TEST(PropertyBag, StoredValuesConvertAsVariantsDo)
{
    PropertyBag bag;
    bag.set("a", std::string("4"));
    bag.set("b", std::string("&H8000000F&"));
    bag.set("c", std::string(" true "));
    bag.set("d", true);
    bag.set("e", 2.5);
    bag.set("f", 3.5);
    bag.set("g", std::int32_t{0});
    bag.set("h", std::string("four"));
    bag.set("i", 5e12);
    EXPECT_EQ(bag.readLong("a", 0), 4);
    EXPECT_EQ(static_cast<std::uint32_t>(bag.readLong("b", 0)), 0x8000000Fu);
    EXPECT_TRUE(bag.readBool("c", false));
    EXPECT_EQ(bag.readLong("d", 0), -1);
    EXPECT_EQ(bag.readLong("e", 0), 2);  // halves to even
    EXPECT_EQ(bag.readLong("f", 0), 4);
    EXPECT_FALSE(bag.readBool("g", true));
    EXPECT_EQ(bag.readString("d", ""), "True");
    EXPECT_EQ(bag.readString("a", ""), "4");
    EXPECT_EQ(errorOf([&] { bag.readLong("h", 0); }), 13);
    EXPECT_EQ(errorOf([&] { bag.readBool("h", false); }), 13);
    EXPECT_EQ(errorOf([&] { bag.readPicture("a", nullptr); }), 13);
    EXPECT_EQ(errorOf([&] { bag.readLong("i", 0); }), 6);
}

TEST(PropertyBag, FontsAreCopiedInAndOut)
{
    PropertyBag bag;
    auto font = std::make_shared<forms::StdFont>();
    font->Bold = true;
    bag.writeFont("Font", font, std::make_shared<forms::StdFont>());
    font->Size = 20;  // a later change of the saved object is not in the bag

    forms::FontRef first = bag.readFont("font", nullptr);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->Bold);
    EXPECT_EQ(first->Size, 8.0);
    first->Italic = true;
    EXPECT_FALSE(bag.readFont("Font", nullptr)->Italic);

    // A font equal to the default is not stored.
    bag.writeFont("Font", std::make_shared<forms::StdFont>(), std::make_shared<forms::StdFont>());
    EXPECT_FALSE(bag.contains("Font"));
}

} // namespace
