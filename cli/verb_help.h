#pragma once

#include <string_view>

namespace lantrel {

// What `lantrel VERB --help` says after the verb's synopsis and summary (which come from the
// verb table): its options, one a line, and what else a user must know to call it. Every
// text ends with a newline. Empty for a name that is no verb.
std::string_view verbDetails(std::string_view verb);

}  // namespace lantrel
