// "collection.json": what the export writes reads back, unknown members are
// skipped, and damaged files are refused naming the file.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "sprites/CollectionIndex.h"

namespace ketral {
namespace {

CollectionIndex Read(const std::string& text)
{
    MemorySource src(std::vector<std::uint8_t>(text.begin(), text.end()), "dir/collection.json");
    return ReadCollectionIndex(src);
}

TEST(CollectionIndex, ReadsWhatIsWrittenAndSkipsWhatItDoesNotKnow)
{
    CollectionIndex index;
    index.Kind = PlainKind;
    index.Count = 300;
    index.Sprites = {{0, "0000.png", 0, 0, 8, 8}, {299, "0299.png", -4, 65535, -1, 2}};
    EXPECT_EQ(Read(FormatCollectionIndex(index)), index);

    const CollectionIndex other = Read(R"( { "note": {"a": [1, 2.5e3, true, null, "x\"\\\u00e9"]}, "kind" : "framed",
        "sprites": [ {"height": 4, "width": 3, "top": 2, "left": 1, "file": "7.png", "index": 7, "extra": -0.5} ] } )");
    EXPECT_EQ(other.Kind, FramedKind);
    EXPECT_EQ(other.Count, 0);
    ASSERT_EQ(other.Sprites.size(), 1u);
    EXPECT_EQ(other.Sprites[0], (CollectionIndexEntry{7, "7.png", 1, 2, 3, 4}));
}

TEST(CollectionIndex, DamagedIndexesAreRefused)
{
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"", "the document ends too early"},
        {R"({"kind": "framed", "sprites": []} x)", "text after the end"},
        {R"({"kind": "round", "sprites": []})", "\"kind\" is neither"},
        {R"({"kind": "plain"})", "\"sprites\" is not a list"},
        {R"({"kind": "plain", "sprites": [{"index": 1, "left": 0, "top": 0, "width": 8, "height": 8}]})", "no text \"file\""},
        {R"({"kind": "plain", "sprites": [{"index": 1.5, "file": "1.png", "left": 0, "top": 0, "width": 8, "height": 8}]})",
         "\"index\" is not a whole number"},
        {R"({"kind": "plain", "sprites": [{"index": 99999999999999999999, "file": "1.png"}]})", "not a whole number"},
        {R"({"kind": "plain", "sprites": [{"file": "1.png", "left": 0, "top": 0, "width": 8, "height": 8}]})",
         "no number \"index\""},
        {R"({"kind": "plain", "sprites": [3]})", "is not an object"},
        {R"({"kind": "plain", "sprites": [{"index": 1, "file": "1.png)", "not closed"},
        {"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[", "nested too deeply"},
        {R"({"kind": "plain", "sprites": [], })", "a member name expected"},
        {R"(["kind"])", "not an object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            Read(c.text);
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            const std::string m = e.what();
            EXPECT_EQ(m.rfind("Cannot read dir/collection.json: ", 0), 0u) << m;
            EXPECT_NE(m.find(c.says), std::string::npos) << m;
        }
    }
}

}  // namespace
}  // namespace ketral
