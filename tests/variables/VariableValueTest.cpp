#include <kiv/Kiv.h>

#include "TextFixture.h"

#include <cstring>
#include <string>

using kiv::test::Probe;

namespace {

std::string Shown(const Variable& v) {
    return v.Text() ? v.Text() : "<null>";
}

} // namespace

TEST(VariableValues, ANewVariableIsANullPointerThatShowsNothing) {
    Variable v;
    EXPECT_EQ(v.Text(), nullptr);
    EXPECT_TRUE(!v);
    EXPECT_EQ(static_cast<int>(v), 0);
    EXPECT_EQ(static_cast<void*>(v), nullptr);
    EXPECT_TRUE(v == static_cast<void*>(nullptr));
    EXPECT_FALSE(v == 0); // a pointer is not a number
}

TEST(VariableValues, NumbersShowThroughTheirPrintfForms) {
    Variable v(3.7);
    EXPECT_EQ(Shown(v), "4");          // "%.0f" rounds
    EXPECT_EQ(static_cast<int>(v), 3); // the conversion truncates
    v = 2.5;
    EXPECT_EQ(Shown(v), "2"); // halves go to the even neighbour
    v = -0.4;
    EXPECT_EQ(Shown(v), "-0");
    v = 1e20;
    EXPECT_EQ(Shown(v), "100000000000000000000");
    v = 3.7;
    v.OnlyIntegerPart(false);
    EXPECT_EQ(Shown(v), "3.700000");
    v = 1e300; // "%f" needs 308 characters: the form is cut to the 49 the buffer holds
    EXPECT_EQ(std::strlen(v.Text()), 49u);
    EXPECT_EQ(Shown(Variable(7u)), "7");
    EXPECT_EQ(Shown(Variable(-12)), "-12");
    v = 2.0f;
    EXPECT_EQ(Shown(v), "2.000000");

    // A pointer takes no text at all.
    int target = 0;
    v = "shown";
    v = static_cast<void*>(&target);
    EXPECT_EQ(v.Text(), nullptr);
    EXPECT_EQ(static_cast<void*>(v), &target);
    EXPECT_EQ(Shown(Variable(static_cast<void*>(&target))), "<null>");
}

TEST(VariableValues, ConversionsGiveTheValueOfTheirKindOnly) {
    Variable text("5");
    EXPECT_EQ(static_cast<int>(text), 0);
    EXPECT_EQ(static_cast<double>(text), 0.0);
    EXPECT_FALSE(static_cast<bool>(text));
    EXPECT_STREQ(static_cast<const char*>(text), "5");
    Variable number(257.9);
    EXPECT_EQ(static_cast<const char*>(number), nullptr);
    EXPECT_TRUE(static_cast<bool>(number));
    EXPECT_EQ(static_cast<unsigned char>(number), 1); // 257 cut to eight bits
    EXPECT_EQ(static_cast<int>(Variable(-2.9)), -2);
    EXPECT_EQ(static_cast<float>(Variable(0.5)), 0.5f);
    EXPECT_EQ(static_cast<Map*>(number), nullptr);

    // ! is about null for pointers and texts: an empty text is not null.
    EXPECT_FALSE(!Variable(""));
    EXPECT_TRUE(!Variable(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(!Variable(0.0));
    EXPECT_FALSE(!Variable(-1.0));
}

TEST(VariableValues, IntegersCompareTruncatedAndCutToTheirWidth) {
    Variable n(256.0);
    EXPECT_TRUE(n == static_cast<char>(0));
    EXPECT_TRUE(n == static_cast<unsigned char>(0));
    EXPECT_TRUE(n == 256);
    EXPECT_FALSE(n == 0);
    EXPECT_TRUE(Variable(300.7) == static_cast<char>(44)); // 300 = 256 + 44

    Variable minusOne(-1.0);
    EXPECT_TRUE(minusOne == 0xFFFFFFFFu);
    EXPECT_FALSE(minusOne < 0u);                             // 4294967295 is not below 0
    EXPECT_TRUE(minusOne > static_cast<unsigned char>(254)); // cut to 255
    EXPECT_TRUE(minusOne < static_cast<char>(0));            // signed: -1
    EXPECT_TRUE(minusOne < 0);

    Variable v(-2.9); // truncated toward zero: -2
    EXPECT_TRUE(v == -2);
    EXPECT_FALSE(v < -2);
    EXPECT_TRUE(v <= -2);
    EXPECT_TRUE(v >= -2);
    EXPECT_TRUE(-3 < v);
    EXPECT_TRUE(-2 <= v);
    EXPECT_FALSE(-2 > v);

    // Floats compare with the double itself.
    EXPECT_FALSE(Variable(0.1) == 0.1f);
    EXPECT_TRUE(Variable(0.1) < 0.1f); // 0.1f is 0.100000001...
    EXPECT_TRUE(Variable(0.5) == 0.5f);
}

TEST(VariableValues, ValuesOfAnotherKindAreNeitherEqualNorLess) {
    Variable s("abc");
    EXPECT_FALSE(s == 5);
    EXPECT_FALSE(s < 5);
    EXPECT_FALSE(s <= 5);
    EXPECT_TRUE(s != 5);
    EXPECT_TRUE(s > 5);
    EXPECT_TRUE(s >= 5);
    EXPECT_TRUE(5 < s); // not (s <= 5)
    EXPECT_FALSE(5 > s);
    EXPECT_TRUE(5 <= s);
    EXPECT_FALSE(5 == s);

    EXPECT_FALSE(Variable(1.0) == Variable("1"));
    EXPECT_TRUE(Variable(1.0) != Variable("1"));
    EXPECT_FALSE(Variable(1.0) < Variable("1"));
    EXPECT_FALSE(Variable(3.0) == "3");

    // Texts compare byte by byte as unsigned characters.
    EXPECT_TRUE(Variable("\xE9") > "z");
    EXPECT_TRUE(Variable("a") < Variable("b"));
    EXPECT_TRUE(Variable("abc") == "abc");
    EXPECT_TRUE("abd" > Variable("abc"));

    // Pointers compare for equality only.
    int a = 0, b = 0;
    Variable pa(static_cast<void*>(&a));
    EXPECT_TRUE(pa == static_cast<void*>(&a));
    EXPECT_FALSE(pa < static_cast<void*>(&b));
    EXPECT_FALSE(pa < Variable(static_cast<void*>(&b)));
    EXPECT_TRUE(pa <= static_cast<void*>(&a));
    EXPECT_TRUE(pa > static_cast<void*>(&b)); // not (<= ): neither less nor equal
    EXPECT_TRUE(Variable(2.0) > Variable(1.0));
}

TEST(VariableValues, IncrementsWorkOnNumbersAndGiveADefaultVariableOtherwise) {
    Variable v(1.0);
    Variable old = v++;
    EXPECT_TRUE(old == 1);
    EXPECT_TRUE(v == 2);
    EXPECT_EQ(Shown(v), "2");
    Variable now = ++v;
    EXPECT_TRUE(now == 3);
    EXPECT_TRUE(v-- == 3);
    EXPECT_TRUE(--v == 1);

    Variable s("x");
    Variable r = s++;
    EXPECT_TRUE(r == static_cast<void*>(nullptr));
    EXPECT_TRUE(!r);
    EXPECT_TRUE(s == "x");
}

TEST(VariableValues, ArithmeticFollowsTheWorkedExamples) {
    Variable s("ab");
    s += "cd";
    EXPECT_EQ(Shown(s), "abcd");
    s += 1;
    EXPECT_EQ(Shown(s), "abcd");
    s += Variable("ef");
    EXPECT_EQ(Shown(s), "abcdef");
    s += s; // joined with itself
    EXPECT_EQ(Shown(s), "abcdefabcdef");

    Variable seven(7.0);
    seven %= 2.9; // 7 modulo 2
    EXPECT_TRUE(seven == 1);
    Variable minusSeven(-7.0);
    minusSeven %= 2; // the sign of the dividend
    EXPECT_TRUE(minusSeven == -1);
    Variable five(5.0);
    five /= 0.0;
    EXPECT_TRUE(five == 5);
    five /= Variable(0.0);
    EXPECT_TRUE(five == 5);
    five += "x"; // a number takes no text
    EXPECT_TRUE(five == 5);

    Variable none = 10.0 / Variable(0.0);
    EXPECT_TRUE(!none);
    EXPECT_TRUE(none == static_cast<void*>(nullptr));
    EXPECT_EQ(none.Text(), nullptr);

    EXPECT_TRUE(10 - Variable(3.0) == 7);
    EXPECT_TRUE(10 % Variable(4.0) == 2);
    EXPECT_TRUE(9.0 / Variable(2.0) == 4.5f);
    EXPECT_TRUE(2 * Variable(2.5) == 5);
    EXPECT_TRUE(Variable(1.5) + Variable(2.0) == 3.5f);
    EXPECT_TRUE(Variable(9.0) / 2.0f == 4.5f);
    EXPECT_TRUE(Variable(2.0) - Variable("z") == 2); // not two numbers: left as it is

    Variable left(4.0);
    Variable sum = left + 1;
    EXPECT_TRUE(sum == 5);
    EXPECT_TRUE(left == 4); // binary operators work on a copy

    EXPECT_EQ(Shown("ab" + Variable("cd")), "abcd");
    EXPECT_EQ(Shown(Variable("ab") + "cd"), "abcd");
    EXPECT_EQ(Shown("n=" + Variable(4.0)), "n=4");
    EXPECT_EQ(Shown(Variable(4.0) + "x"), "4");
}

TEST(VariableValues, AnOperationThatDoesNotApplyStillRefreshesTheText) {
    Probe p("ab");
    p.DisplayType(Variable::VerticalScrolling);
    p.m_VScrollPosition = 3;
    p += 1;
    EXPECT_EQ(p.m_VScrollPosition, 0);
    EXPECT_EQ(Shown(p), "ab");
}

TEST(VariableValues, AssignmentCopiesTheValueAndObjectCopyEverything) {
    Variable a(1.0);
    a.Name("a");
    a.Frame({1, 2, 30, 40});
    a.Pause(true);
    a.Color(0x123456);
    Variable b("text");
    b.Name("b");
    a = b;
    EXPECT_EQ(Shown(a), "text");
    EXPECT_STREQ(a.Name(), "a");
    EXPECT_EQ(a.Frame().right, 30);
    EXPECT_EQ(a.Color(), 0x123456u);
    Variable& same = a;
    a = same;
    EXPECT_EQ(Shown(a), "text");

    Variable copy(&a);
    EXPECT_STREQ(copy.Name(), "a");
    EXPECT_EQ(copy.Frame().bottom, 40);
    EXPECT_TRUE(copy.Pause());
    EXPECT_EQ(copy.Color(), 0x123456u);
    EXPECT_EQ(Shown(copy), "text");
    Variable fromNull(static_cast<const Variable*>(nullptr));
    EXPECT_TRUE(!fromNull);
    EXPECT_STREQ(fromNull.Name(), "");
}
