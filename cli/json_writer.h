#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lantrel {

// Builds compact JSON text. Strings are written as UTF-8; bytes that are not valid UTF-8
// (a text from an old project file in another code page) become U+FFFD.
class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& number(long long value);
    JsonWriter& real(double value);  // not-a-number and infinities become null
    JsonWriter& boolean(bool value);
    JsonWriter& string(std::string_view value);

    // A key and its value in one call.
    JsonWriter& numberField(std::string_view name, long long value) {
        return key(name).number(value);
    }
    JsonWriter& realField(std::string_view name, double value) { return key(name).real(value); }
    JsonWriter& booleanField(std::string_view name, bool value) { return key(name).boolean(value); }
    JsonWriter& stringField(std::string_view name, std::string_view value) {
        return key(name).string(value);
    }

    const std::string& text() const { return out_; }

  private:
    void beforeValue();
    void appendEscaped(std::string_view value);

    std::string out_;
    std::vector<bool> firstInContainer_;
    bool afterKey_ = false;
};

}  // namespace lantrel
