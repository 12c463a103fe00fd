#include "text/Trim.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

namespace pellorin::text {
namespace {

TEST(TrimSpaces, RemovesSpacesAndFullWidthSpacesAtBothEnds)
{
    const std::string fullWidth = "\xA1\xA1";
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"  2.1  ", "2.1"},
        {fullWidth + " 2.1" + fullWidth, "2.1"},
        {"\t2.1\r\n", "\t2.1\r\n"},
        {" a b ", "a b"},
        {"   ", ""},
        {"", ""},
        // B0 A1 is one character and the A1 behind it stands alone: no full-width space.
        {"\xB0\xA1\xA1", "\xB0\xA1\xA1"},
        {test::Gbk("版本") + fullWidth, test::Gbk("版本")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrimSpaces(c.in), c.out) << test::Hex(c.in);
}

} // namespace
} // namespace pellorin::text
