#include <kiv/Kiv.h>

#include "Scratch.h"

TEST(String, TextOperations) {
    String none(nullptr);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.length(), 0);

    String s("Kiv");
    s += String("Core");
    EXPECT_TRUE(s == "KivCore");
    EXPECT_TRUE("KivCore" == s);
    EXPECT_TRUE(s != "kivcore"); // case-sensitive
    EXPECT_FALSE(s == static_cast<const char*>(nullptr));
    EXPECT_TRUE(s != static_cast<const char*>(nullptr));
    EXPECT_TRUE(String("a") + String("b") == String("ab"));

    s.assign("abcdef", 3);
    EXPECT_STREQ(s, "abc");
    s.assign("ab", 10);
    EXPECT_STREQ(s, "ab");
    s.assign(nullptr, 4);
    EXPECT_STREQ(s, "");

    String longer("a much longer text than before");
    String shorter("short");
    longer = shorter;
    EXPECT_STREQ(longer, "short");
    shorter = String("now the longer one of the two");
    EXPECT_STREQ(shorter, "now the longer one of the two");
    shorter.erase();
    EXPECT_TRUE(shorter.empty());
}

class StringFile : public kiv::test::Scratch {};

TEST_F(StringFile, RecordIsLengthThenCharacters) {
    {
        File out("s.bin", File::Writing);
        String("hello").Save(out);
        String("").Save(out);
        String("again").Save(out);
    }
    EXPECT_EQ(ReadBytes("s.bin"),
              (std::vector<unsigned char>{5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', 0,   0,
                                          0, 0, 5, 0, 0,   0,   'a', 'g', 'a', 'i', 'n'}));

    File in("s.bin", File::Reading);
    String a, b("kept"), c("x");
    a.Load(in);
    b.Load(in); // a zero-length record leaves the text as it was
    c.Load(in);
    EXPECT_STREQ(a, "hello");
    EXPECT_STREQ(b, "kept");
    EXPECT_STREQ(c, "again");
}

TEST_F(StringFile, LengthBeyondTheFileEndsInTheFatalMessage) {
    WriteBytes("s.bin", {0xFF, 0xFF, 0xFF, 0x7F, 'x'});
    EXPECT_EXIT(
        {
            File in("s.bin", File::Reading);
            String s;
            s.Load(in);
        },
        ::testing::ExitedWithCode(1), "Could not open the file s\\.bin for reading\\.");
    WriteBytes("n.bin", {0xFE, 0xFF, 0xFF, 0xFF});
    EXPECT_EXIT(
        {
            File in("n.bin", File::Reading);
            String s;
            s.Load(in);
        },
        ::testing::ExitedWithCode(1), "Could not open the file n\\.bin for reading\\.");
}
