// The clipboard's text of copied cells: malformed texts are refused with
// the reason in their message, and so is a text above the limit.
#include <gtest/gtest.h>

#include "base/CellsText.h"

namespace ketral {
namespace {

CellsText Read(const std::string& text)
{
    MemorySource src(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "clipboard");
    return ReadCellsText(src, "test cells");
}

TEST(CellsText, MalformedTextsAreRefusedWithTheReason)
{
    const std::pair<std::string, const char*> bad[] = {
        {"", "ends too early"},
        {"[1, 2]", "'{' expected at byte 0"},
        {R"({"kind": "k", "list": [1, 2)", "ends too early"},
        {R"({"kind": "k", "list": [1, 2]} x)", "more text after"},
        {R"({"kind": "k", "list": [1, 2.5]})", "not a whole number"},
        {R"({"kind": "k", "list": [01]})", "starts with 0"},
        {R"({"kind": "k", "list": [1234567890123]})", "far too large"},
        {R"({"kind": "k", "list": [1, [2]]})", "not all of one length"},
        {R"({"kind": "k", "list": [[1], [2, 3]]})", "not all of one length"},
        {R"({"kind": "k", "list": [[[1]]]})", "a number expected"},
        {R"({"kind": "k", "list": [1], "more": [2]})", "more than one list"},
        {R"({"kind": "k", "kind": "k", "list": [1]})", "given twice"},
        {R"({"kind": "k", "name": "x", "list": [1]})", "\"name\" holds a text"},
        {R"({"kind": "k"})", "list of cells is missing"},
        {"{\"kind\": \"k\\u0041\", \"list\": [1]}", "escape"},
    };
    for (const auto& [text, reason] : bad) {
        SCOPED_TRACE(text);
        try {
            Read(text);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("The clipboard does not hold test cells: ", 0), 0u) << message;
            EXPECT_NE(message.find(reason), std::string::npos) << message;
        }
    }
}

TEST(CellsText, TextsLargerThanTheLimitAreRefusedUnread)
{
    std::string text = R"({"kind": "k", "list": [1)";
    text.resize(kMaxCellsTextBytes - 2, ' ');
    text += "]}";
    EXPECT_EQ(Read(text).values.size(), 1u);
    text.insert(0, " ");
    try {
        Read(text);
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("is " + std::to_string(kMaxCellsTextBytes + 1) + " bytes"),
                  std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace ketral
