// A text's room in the units of its coding, and the cut at ten parts.

#include "sms/send/TextRoom.h"

#include <gtest/gtest.h>

namespace {

TEST(TextRoom, CountsEachCodingInItsOwnUnits) {
    const std::string clef = "\xF0\x9D\x84\x9E"; // outside the 16-bit plane: two UTF-16 units
    EXPECT_EQ(TextUnits("a" + clef, UdCoding::Ucs2), 3);
    EXPECT_EQ(TextUnits("a€", UdCoding::Gsm7), 3);
    EXPECT_EQ(TextUnits("aè", UdCoding::Data8), 2);
    EXPECT_EQ(MeasureText(std::string(70, 'x'), UdCoding::Ucs2).left, 0);
    const TextRoom two = MeasureText(std::string(71, 'x'), UdCoding::Ucs2);
    EXPECT_EQ(two.parts, 2);
    EXPECT_EQ(two.left, 63);
    EXPECT_EQ(MeasureText(std::string(141, 'x'), UdCoding::Data8).left, 127);
}

TEST(TextRoom, CutsAtTenPartsWithoutSplittingACharacter) {
    std::string clefs;
    for (int i = 0; i < 336; ++i)
        clefs += "\xF0\x9D\x84\x9E";
    EXPECT_EQ(CutToRoom(clefs, UdCoding::Ucs2).size(), 335u * 4) << "670 units, whole pairs";
    EXPECT_EQ(CutToRoom(std::string(1529, 'a') + "€", UdCoding::Gsm7), std::string(1529, 'a'));
    EXPECT_EQ(CutToRoom("short", UdCoding::Gsm7), "short");
    EXPECT_EQ(CodingOfText("Δ ok"), UdCoding::Gsm7);
    EXPECT_EQ(CodingOfText("λ"), UdCoding::Ucs2);
}

} // namespace
