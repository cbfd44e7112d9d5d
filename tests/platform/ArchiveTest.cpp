#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/KorvaneDoc.h"
#include "model/UDouble.h"
#include "platform/Archive.h"

namespace {

std::vector<std::uint8_t> Stored(const std::string& text)
{
    CArchive ar;
    ar.WriteString(text);
    return ar.GetBuffer();
}

std::string Reloaded(const std::vector<std::uint8_t>& bytes)
{
    CClassRegistry none;
    CArchive ar(bytes, none);
    return ar.ReadString();
}

}  // namespace

TEST(Archive, StringLengthPrefixesFollowTheFrameworkForms)
{
    struct Case {
        std::size_t length;
        std::vector<std::uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'a');
        const auto bytes = Stored(text);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        EXPECT_EQ(Reloaded(bytes), text) << c.length;
    }
}

TEST(Archive, TextOutsideWindows1252UsesTheUtf16MarkedForm)
{
    const std::string text = "\xE2\x82\xAC caf\xC3\xA9";  // "€ café": fits Windows-1252
    EXPECT_EQ(Stored(text), (std::vector<std::uint8_t>{6, 0x80, ' ', 'c', 'a', 'f', 0xE9}));
    EXPECT_EQ(Reloaded(Stored(text)), text);

    const std::string wide = "\xCE\xA9 \xF0\x9F\x94\x8C";  // "Ω 🔌": needs UTF-16, with a surrogate pair
    const auto bytes = Stored(wide);
    const std::vector<std::uint8_t> expected{0xFF, 0xFE, 0xFF, 4, 0xA9, 0x03, ' ', 0, 0x3D, 0xD8, 0x0C, 0xDD};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(Reloaded(bytes), wide);

    // A long wide text takes the 16-bit length after the marker.
    std::string longWide;
    for (int i = 0; i < 300; ++i)
        longWide += "\xCE\xA9";
    const auto longBytes = Stored(longWide);
    EXPECT_EQ(std::vector<std::uint8_t>(longBytes.begin(), longBytes.begin() + 6),
              (std::vector<std::uint8_t>{0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}));
    EXPECT_EQ(Reloaded(longBytes), longWide);
}

TEST(Archive, CountsUseSixteenBitsBelow0xFFFFAndNoLengthOrCountReachesBeyondTheData)
{
    CArchive out;
    out.WriteCount(0xFFFE);
    out.WriteCount(0xFFFF);
    EXPECT_EQ(out.GetBuffer(), (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));

    CClassRegistry none;
    const std::vector<std::vector<std::uint8_t>> strings = {
        {5, 'a', 'b'},
        {0xFF, 0x00, 0x01},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
        {0xFF, 0xFE, 0xFF, 2, 'a', 0},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& bytes : strings) {
        CArchive ar(bytes, none);
        EXPECT_THROW(ar.ReadString(), CArchiveError);
    }
    const std::vector<std::uint8_t> count{0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00, 1, 2, 3};
    CArchive ar(count, none);
    EXPECT_THROW(ar.ReadCount(2), CArchiveError);
}

TEST(Archive, ObjectsIntroduceTheirClassOnceAndReferToEarlierObjects)
{
    CUDouble a(1.5), b(2.5);
    CArchive out;
    out.WriteObject(&a);
    out.WriteObject(&b);
    out.WriteObject(&a);
    out.WriteObject(nullptr);
    const std::vector<std::uint8_t> expected{
        0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00, 'C', 'U', 'D', 'o', 'u', 'b', 'l', 'e',  // new class, index 1
        0, 0, 0, 0, 0, 0, 0xF8, 0x3F,                                                // object 2: 1.5
        0x01, 0x80, 0, 0, 0, 0, 0, 0, 0x04, 0x40,                                    // class 1, object 3: 2.5
        0x02, 0x00,                                                                  // object 2 again
        0x00, 0x00};                                                                 // null
    EXPECT_EQ(out.GetBuffer(), expected);

    CArchive in(out.GetBuffer(), ModelClassRegistry());
    const auto first = in.ReadObject(CUDouble::ClassInfo());
    const auto second = in.ReadObject(CUDouble::ClassInfo());
    const auto again = in.ReadObject(CUDouble::ClassInfo());
    const auto null = in.ReadObject(CUDouble::ClassInfo());
    EXPECT_TRUE(first.isNew);
    EXPECT_EQ(static_cast<CUDouble*>(second.object)->GetValue(), 2.5);
    EXPECT_FALSE(again.isNew);
    EXPECT_EQ(again.object, first.object);
    EXPECT_EQ(null.object, nullptr);
}

TEST(Archive, IndicesFrom0x7FFFUseTheLongTagForm)
{
    std::vector<CUDouble> values(0x4000);
    CArchive out;
    for (auto& v : values)
        out.WriteObject(&v);  // class 1, objects 2 .. 0x4001
    for (auto& v : values)
        out.WriteTransientObject(v);  // objects 0x4002 .. 0x8001
    out.WriteObject(&values[0]);      // back reference to 2: short
    CUDouble last(9.0);
    out.WriteObject(&last);  // object 0x8002: class tag 0x8001 is short
    out.WriteObject(&last);  // back reference 0x8002: long
    const auto& bytes = out.GetBuffer();
    const std::vector<std::uint8_t> tail{0x02, 0x00, 0x01, 0x80, 0, 0, 0, 0, 0, 0, 0x22, 0x40,
                                         0xFF, 0x7F, 0x02, 0x80, 0x00, 0x00};
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), bytes.end() - static_cast<long>(tail.size())));

    CArchive in(bytes, ModelClassRegistry());
    for (int i = 0; i < 0x8000; ++i)
        ASSERT_TRUE(in.ReadObject(CUDouble::ClassInfo()).isNew);
    EXPECT_FALSE(in.ReadObject(CUDouble::ClassInfo()).isNew);
    const auto added = in.ReadObject(CUDouble::ClassInfo());
    const auto reference = in.ReadObject(CUDouble::ClassInfo());
    EXPECT_EQ(reference.object, added.object);
    EXPECT_EQ(static_cast<CUDouble*>(reference.object)->GetValue(), 9.0);
}

TEST(Archive, ClassTagsAtOrPast0x7FFFAreWrittenLong)
{
    std::vector<CUDouble> values(0x7FFE);
    CArchive out;
    for (auto& v : values)
        out.WriteTransientObject(v);  // class 1, objects 2 .. 0x7FFF
    // A second class introduced now gets index 0x8000; its next object names it with the long form.
    struct COther : CSerializable {
        static const CClassInfo& Info()
        {
            static const CClassInfo info{"COther", 1, [] { return std::unique_ptr<CSerializable>(new COther); }};
            return info;
        }
        const CClassInfo& GetRuntimeClass() const override { return Info(); }
    } x, y;
    out.WriteObject(&x);
    out.WriteObject(&y);
    const auto& bytes = out.GetBuffer();
    const std::vector<std::uint8_t> tail{0xFF, 0x7F, 0x00, 0x80, 0x00, 0x80};
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), bytes.end() - static_cast<long>(tail.size())));

    CClassRegistry registry;
    registry.Register(CUDouble::ClassInfo());
    registry.Register(COther::Info());
    CArchive in(bytes, registry);
    for (int i = 0; i < 0x7FFE; ++i)
        in.ReadObject(CUDouble::ClassInfo());
    EXPECT_TRUE(in.ReadObject(COther::Info()).isNew);
    EXPECT_TRUE(in.ReadObject(COther::Info()).isNew);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, RefusesHostileTags)
{
    const std::vector<std::uint8_t> header{0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00, 'C', 'U', 'D', 'o', 'u', 'b', 'l', 'e',
                                           0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    auto with = [&](std::vector<std::uint8_t> tail) {
        tail.insert(tail.begin(), header.begin(), header.end());
        return tail;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"object tag past the table", with({0x05, 0x00})},
        {"object tag naming a class", with({0x01, 0x00})},
        {"class tag naming an object", with({0x02, 0x80, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"class tag past the table", with({0x09, 0x80})},
        {"class tag zero", with({0x00, 0x80})},
        {"long object tag past the table", with({0xFF, 0x7F, 0x00, 0x01, 0x00, 0x00})},
        {"unknown class", {0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00, 'C', 'B', 'a', 'd'}},
        {"schema 2", {0xFF, 0xFF, 0x02, 0x00, 0x08, 0x00, 'C', 'U', 'D', 'o', 'u', 'b', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0}},
        {"class name cut short", {0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00, 'C', 'U'}},
        {"object record cut short", {0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00, 'C', 'U', 'D', 'o', 'u', 'b', 'l', 'e', 0, 0}},
    };
    for (const Case& c : cases) {
        CArchive in(c.bytes, ModelClassRegistry());
        if (c.bytes.size() > header.size() && std::equal(header.begin(), header.end(), c.bytes.begin()))
            in.ReadObject(CUDouble::ClassInfo());
        EXPECT_THROW(in.ReadObject(CUDouble::ClassInfo()), CArchiveError) << c.what;
    }
}

// Regression: an unknown class name was copied raw into the message; bytes that are not UTF-8
// made the whole message show as empty in the GUI. A long name is cut.
TEST(Archive, NamesAnUnknownClassInPrintableText)
{
    auto refusal = [](const std::vector<std::uint8_t>& bytes) -> std::string {
        CClassRegistry registry;
        CArchive in(bytes, registry);
        try {
            in.ReadObject(CUDouble::ClassInfo());
        } catch (const CArchiveError& e) {
            return e.what();
        }
        return "an unknown class was accepted";
    };
    const std::string odd = refusal({0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00, 'C', 0xC3, 0x28, '\\'});
    EXPECT_NE(odd.find("unknown class \"C\\xC3(\\x5C\""), std::string::npos) << odd;
    std::vector<std::uint8_t> bytes = {0xFF, 0xFF, 0x01, 0x00, 0x00, 0x10};
    bytes.insert(bytes.end(), 0x1000, 'A');
    const std::string cut = refusal(bytes);
    EXPECT_LT(cut.size(), 200u) << cut;
    EXPECT_NE(cut.find(std::string(64, 'A') + "...\""), std::string::npos) << cut;
}
