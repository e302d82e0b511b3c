// The clipboard texts of both map kinds' cell blocks: written exactly as
// they always were (other running editors and scripts read them), read
// back to the same block, and refused with the reason when they are not a
// well-formed block of the kind.
#include <gtest/gtest.h>

#include <functional>

#include "base/Errors.h"
#include "city/CityTileBlock.h"
#include "tactical/TacCellBlock.h"

namespace ketral {
namespace {

TEST(CellBlockText, TheTextsAreWrittenAsBeforeAndReadBack)
{
    const TacCellBlock tactical{{2, 1, 1}, {1, 0, 0, 1, 2, 0, 0, 2}};
    EXPECT_EQ(TacCellsText(tactical), "{\"kind\": \"ketral-tactical-cells\", \"width\": 2, \"height\": 1, "
                                      "\"levels\": 1, \"cells\": [[1,0,0,1],[2,0,0,2]]}\n");
    EXPECT_EQ(ReadTacCellsText(TacCellsText(tactical)), tactical);
    // 3 cells along b, 2 along a, 2 levels: b fastest, as the map files.
    const CityTileBlock city{{3, 2, 2}, {1, 2, 3, 2, 3, 4, 0, 0, 0, 0, 0, 65535}};
    EXPECT_EQ(CityCellsText(city), "{\"kind\": \"ketral-city-cells\", \"levels\": 2, \"a\": 2, \"b\": 3, "
                                   "\"tiles\": [1,2,3,2,3,4,0,0,0,0,0,65535]}\n");
    EXPECT_EQ(ReadCityCellsText(CityCellsText(city)), city);
}

TEST(CellBlockText, BadTextsAreRefusedWithTheReason)
{
    const std::function<void(const std::string&)> tactical = [](const std::string& t) { ReadTacCellsText(t); };
    const std::function<void(const std::string&)> city = [](const std::string& t) { ReadCityCellsText(t); };
    struct Case {
        const char* kind;  // as the refusal names it
        const std::function<void(const std::string&)>& read;
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {"tactical cells", tactical,
         R"({"kind": "ketral-city-cells", "width": 1, "height": 1, "levels": 1, "cells": [[1,2,3,4]]})", "its kind"},
        {"tactical cells", tactical,
         R"({"kind": "ketral-tactical-cells", "width": 2, "height": 1, "levels": 1, "cells": [[1,2,3,4]]})",
         "2 x 1 x 1 cells are announced, 1 given"},
        {"tactical cells", tactical,
         R"({"kind": "ketral-tactical-cells", "width": 1, "height": 1, "levels": 1, "cells": [[1,2,3]]})",
         "four numbers"},
        {"tactical cells", tactical,
         R"({"kind": "ketral-tactical-cells", "width": 1, "height": 1, "levels": 1, "cells": [[1,2,3,256]]})",
         "the value 256 is outside 0..255"},
        {"tactical cells", tactical,
         R"({"kind": "ketral-tactical-cells", "width": 999999999999, "height": 999999999999, "levels": 1, "cells": [[1,2,3,4]]})",
         "cells are announced"},
        {"tactical cells", tactical,
         R"({"kind": "ketral-tactical-cells", "width": 1, "height": 1, "levels": 1, "depth": 1, "cells": [[1,2,3,4]]})",
         "\"depth\" is unknown"},
        {"tactical cells", tactical,
         R"({"kind": "ketral-tactical-cells", "width": 1, "height": 1, "levels": 1, "tiles": [[1,2,3,4]]})",
         "the list is named \"tiles\", not \"cells\""},
        {"tactical cells", tactical, R"({"kind": "ketral-tactical-cells", "width": 1, "height": 1, "cells": [[1,2,3,4]]})",
         "must each be 1 or more"},
        {"city cells", city, R"({"kind": "ketral-tactical-cells", "levels": 1, "a": 1, "b": 1, "tiles": [1]})",
         "its kind"},
        {"city cells", city, R"({"kind": "ketral-city-cells", "levels": 1, "a": 1, "b": 2, "tiles": [1]})",
         "1 x 1 x 2 cells are announced, 1 given"},
        {"city cells", city, R"({"kind": "ketral-city-cells", "levels": 11, "a": 1, "b": 1, "tiles": [1]})",
         "levels must lie in 1..10"},
        {"city cells", city, R"({"kind": "ketral-city-cells", "levels": 1, "a": 1, "b": 1, "tiles": [65536]})",
         "the tile 65536 is outside 0..65535"},
        {"city cells", city, R"({"kind": "ketral-city-cells", "levels": 1, "a": 1, "b": 1, "tiles": [[1]]})",
         "one number"},
        {"city cells", city, R"({"kind": "ketral-city-cells", "levels": 1, "a": 1, "b": 1, "cells": [1]})",
         "the list is named \"cells\", not \"tiles\""},
        {"city cells", city, R"({"kind": "ketral-city-cells", "levels": 1, "a": 1, "b": 1, "c": 1, "tiles": [1]})",
         "\"c\" is unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            c.read(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("The clipboard does not hold " + std::string(c.kind) + ": ", 0), 0u) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
}

}  // namespace
}  // namespace ketral
