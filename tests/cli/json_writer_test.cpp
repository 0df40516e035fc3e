#include "cli/json_writer.h"

#include <gtest/gtest.h>

#include <limits>

namespace lantrel {
namespace {

TEST(JsonWriter, NestsContainersWithCommasInTheRightPlaces) {
    JsonWriter json;
    json.beginObject().key("a").number(-3).key("b").beginArray().boolean(true).real(0.5);
    json.beginObject().endObject().endArray().key("c").string("x").endObject();
    EXPECT_EQ(json.text(), R"({"a":-3,"b":[true,0.5,{}],"c":"x"})");
}

TEST(JsonWriter, EscapesControlCharactersAndReplacesInvalidUtf8) {
    JsonWriter json;
    json.string("q\"\\\n\x01 曲 \x82\xA0 \xE3\x81");
    EXPECT_EQ(json.text(), "\"q\\\"\\\\\\n\\u0001 曲 \\ufffd\\ufffd \\ufffd\\ufffd\"");
}

TEST(JsonWriter, WritesNumbersThatRoundTrip) {
    JsonWriter json;
    json.beginArray().real(1.0594630943592953).real(1.0);
    json.real(std::numeric_limits<double>::quiet_NaN()).endArray();
    EXPECT_EQ(json.text(), "[1.0594630943592953,1,null]");
}

}  // namespace
}  // namespace lantrel
