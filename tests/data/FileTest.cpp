#include <kiv/Kiv.h>

#include "Scratch.h"
#include "platform/Platform.h"

#include <climits>
#include <filesystem>

namespace {

// A persisted class that holds a reference to another object, to build object graphs.
class Box : public node {
public:
    node* Clone() override { return new Box; }
    void Save(File& f) override {
        f.Write(value);
        f.Write(inner);
    }
    void Load(File& f) override {
        ++loads;
        f.Read(value);
        f.Read(inner);
    }
    const char* ClassName() override { return "Box"; }
    int value = 0;
    node* inner = nullptr;
    static int loads;
};
int Box::loads = 0;

CREATE boxClass("Box", [] { return static_cast<node*>(new Box); });

class FileTest : public kiv::test::Scratch {
protected:
    void TearDown() override {
        kiv::platform::Resources::Instance().Clear();
        Scratch::TearDown();
    }
};

} // namespace

TEST_F(FileTest, PrimitivesHaveTheirFileWidthsWhateverTheirSizeInMemory) {
    {
        File out("p.bin", File::Writing);
        out.Write(true);
        out.Write(static_cast<unsigned char>(0xFE));
        out.Write(static_cast<char>(-2));
        out.Write(static_cast<unsigned short>(0x1234));
        out.Write(static_cast<short>(-2));
        out.Write(0x01020304u);
        out.Write(-5);
        out.Write(0xFFFFFFFFul);
        out.Write(-7l);
        out.Write(1.5f);
        out.Write(-2.25);
        out.Write(tagRECT{1, 2, 3, 4});
        out.Write(KivRect{-1, -2, 300, 400});
        out.Write(FRECT{1.0f, 2.0f, 3.0f, 4.0f});
    }
    std::vector<unsigned char> bytes = ReadBytes("p.bin");
    ASSERT_EQ(bytes.size(), 1u + 1 + 1 + 2 + 2 + 4 + 4 + 4 + 4 + 4 + 8 + 16 + 16 + 16);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 15),
              (std::vector<unsigned char>{1, 0xFE, 0xFE, 0x34, 0x12, 0xFE, 0xFF, 4, 3, 2, 1, 0xFB,
                                          0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytes[26], 0x3F); // 1.5f = 0x3FC00000, little-endian, at 23
    EXPECT_EQ(bytes[25], 0xC0);
    EXPECT_EQ(bytes[34], 0xC0); // -2.25 = 0xC002000000000000, at 27
    EXPECT_EQ(bytes[33], 0x02);

    File in("p.bin", File::Reading);
    bool b;
    unsigned char uc;
    char c;
    unsigned short us;
    short s;
    unsigned int ui;
    int i;
    unsigned long ul;
    long l;
    float f;
    double d;
    tagRECT tr;
    KivRect kr;
    FRECT fr;
    in.Read(b), in.Read(uc), in.Read(c), in.Read(us), in.Read(s), in.Read(ui), in.Read(i);
    in.Read(ul), in.Read(l), in.Read(f), in.Read(d), in.Read(tr), in.Read(kr), in.Read(fr);
    EXPECT_TRUE(b);
    EXPECT_EQ(uc, 0xFE);
    EXPECT_EQ(c, -2);
    EXPECT_EQ(us, 0x1234);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(ui, 0x01020304u);
    EXPECT_EQ(i, -5);
    EXPECT_EQ(ul, 0xFFFFFFFFul);
    EXPECT_EQ(l, -7l);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(d, -2.25);
    EXPECT_EQ(tr.left + tr.top + tr.right + tr.bottom, 10);
    EXPECT_EQ(kr.left, -1);
    EXPECT_EQ(kr.bottom, 400);
    EXPECT_EQ(fr.top, 1.0f);
    EXPECT_EQ(fr.right, 4.0f);
    EXPECT_EQ(in.Position(), in.Size());
}

TEST_F(FileTest, AnObjectWrittenTwiceIsOneRecordAndReadsBackAsOneObject) {
    {
        Box shared;
        shared.value = 42;
        Box holder;
        holder.value = 1;
        holder.inner = &shared;
        File out("o.bin", File::Writing);
        out.Write(&holder);
        out.Write(&shared);
        out.Write(static_cast<node*>(nullptr));
    }
    // holder: name(32) number(4) value(4) then shared: name(32) number(4) value(4) null(4);
    // the second reference to shared is name(32) number(4); the null reference 4 zero bytes.
    std::vector<unsigned char> bytes = ReadBytes("o.bin");
    ASSERT_EQ(bytes.size(), 40u + 44u + 36u + 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[0])), "Box");
    EXPECT_EQ(bytes[32], 1); // holder is object 1
    EXPECT_EQ(bytes[40 + 32], 2);
    EXPECT_EQ(bytes[84 + 32], 2); // short reference to object 2
    EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 4, bytes.end()),
              (std::vector<unsigned char>{0, 0, 0, 0}));

    Box::loads = 0;
    File in("o.bin", File::Reading);
    node* holder = nullptr;
    node* shared = nullptr;
    node* none = reinterpret_cast<node*>(1);
    in.Read(holder);
    in.Read(shared);
    in.Read(none);
    EXPECT_EQ(Box::loads, 2);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(static_cast<Box*>(holder)->inner, shared);
    EXPECT_EQ(static_cast<Box*>(shared)->value, 42);
    EXPECT_EQ(none, nullptr);
    delete holder;
    delete shared;
}

TEST_F(FileTest, UnknownClassIsNullAndTheRegistryIsExact) {
    EXPECT_EQ(CreateObject("box"), nullptr);
    EXPECT_EQ(CreateObject(nullptr), nullptr);
    {
        File out("u.bin", File::Writing);
        char name[32] = "NoSuchClass";
        out.Write(name, 32);
        out.Write(1);
    }
    File in("u.bin", File::Reading);
    node* n = reinterpret_cast<node*>(1);
    in.Read(n);
    EXPECT_EQ(n, nullptr);
}

TEST_F(FileTest, SeekingAndEndOfFileOnDiskAndInResources) {
    WriteBytes("d.bin", {1, 2, 3, 4, 5, 6});
    File disk("d.bin", File::Reading);
    disk.SeekEnd(2);
    EXPECT_EQ(disk.Position(), 4);
    disk.SeekCur(-3);
    EXPECT_EQ(disk.Position(), 1);
    disk.SeekEnd(0);
    EXPECT_EQ(disk.Position(), 6);
    EXPECT_FALSE(disk.EndOfFile()); // only a read past the end sets it on disk

    static const unsigned char data[] = {9, 8, 7};
    static const KivResource table[] = {{"RCDATA", "d.bin", data, sizeof data}};
    kiv::platform::Resources::Instance().Register(table, 1);
    File res("D.BIN", File::Reading); // the resource wins over the disk file
    EXPECT_EQ(res.Size(), 3);
    unsigned char first = 0;
    res.Read(first);
    EXPECT_EQ(first, 9);
    EXPECT_FALSE(res.EndOfFile());
    res.SeekEnd(0);
    EXPECT_TRUE(res.EndOfFile());
}

TEST_F(FileTest, ReadingPastTheEndOfADiskFileKeepsTheRestOfTheBufferAndSetsEndOfFile) {
    WriteBytes("short.bin", {1, 2, 3});
    File in("short.bin", File::Reading);
    unsigned char buffer[6] = {9, 9, 9, 9, 9, 9};
    in.Read(buffer, 5);
    EXPECT_EQ(std::vector<unsigned char>(buffer, buffer + 6),
              (std::vector<unsigned char>{1, 2, 3, 9, 9, 9}));
    EXPECT_TRUE(in.EndOfFile());
    int v = 77;
    in.Read(v);
    EXPECT_EQ(v, 77);

    // A truncated object record (a class name without its number) reads as nothing.
    WriteBytes("obj.bin", {'Z', 'z', 'z', 0, 0, 0, 0, 0});
    File objects("obj.bin", File::Reading);
    node* n = reinterpret_cast<node*>(1);
    objects.Read(n);
    EXPECT_EQ(n, nullptr);
    EXPECT_TRUE(objects.EndOfFile());
}

TEST_F(FileTest, ARecordCutShortAndAReadPastAResourceEndInTheFatalMessageNamingTheFile) {
    WriteBytes("short.bin", {1, 2, 3});
    EXPECT_EXIT(
        {
            File in("short.bin", File::Reading);
            int v;
            in.Read(v);
            in.CheckNotCutShort();
        },
        ::testing::ExitedWithCode(1), "Could not open the file short\\.bin for reading\\.");
    {
        File whole("short.bin", File::Reading);
        unsigned char b[3];
        whole.Read(b, 3);
        whole.CheckNotCutShort(); // read to the end, not past it
    }

    static const unsigned char data[] = {1, 2};
    static const KivResource table[] = {{"RCDATA", "res.bin", data, sizeof data}};
    kiv::platform::Resources::Instance().Register(table, 1);
    EXPECT_EXIT(
        {
            File in("res.bin", File::Reading);
            in.SeekBegin(1);
            short v;
            in.Read(v);
        },
        ::testing::ExitedWithCode(1), "Could not open the file res\\.bin for reading\\.");
}

TEST_F(FileTest, NestingDeeperThanAnyGameIsRefusedInsteadOfExhaustingTheStack) {
    {
        File out("deep.bin", File::Writing);
        for (int i = 1; i <= 5000; ++i) {
            char name[32] = "Box";
            out.Write(name, 32);
            out.Write(i);
            out.Write(0); // value; the next record is the inner reference
        }
        out.Write(0);
    }
    EXPECT_EXIT(
        {
            File in("deep.bin", File::Reading);
            node* n;
            in.Read(n);
        },
        ::testing::ExitedWithCode(1), "deep\\.bin");
}

TEST_F(FileTest, FilesThatCannotBeOpenedEndWithMessages104And105) {
    EXPECT_EXIT(File("missing.bin", File::Reading), ::testing::ExitedWithCode(1),
                "Could not open the file missing\\.bin for reading\\.");
    EXPECT_EXIT(File("no\\such\\folder\\out.bin", File::Writing), ::testing::ExitedWithCode(1),
                "Could not open the file no/such/folder/out\\.bin for writing\\.");
}

TEST_F(FileTest, WindowsStyleNamesFindFilesWithoutRegardToCase) {
    WriteBytes("Data/Levels/Level1.DAT", {7});
    File in("data\\levels\\LEVEL1.dat", File::Reading);
    unsigned char v = 0;
    in.Read(v);
    EXPECT_EQ(v, 7);
}
