// A memo as JSON and back. The JSON names every stored field; what one form of the file
// cannot hold is refused when a memo is built from it, so that a memo built from a dump
// dumps the same text again.
#pragma once

#include "Json.h"

#include "inkra/FileVersion.h"

#include <string>

class GPadDrawMan;
class InkraMan;

namespace padtool {

// Every member of the memo's JSON but its pages: header, paper and picture bytes (base64).
Json MemoHeadToJson(GPadDrawMan& memo);

// head, then the pages of body: the body as read from the file, since drawing a page (as
// loading the memo does) settles the bounds of its strokes anew. Each page object is made as
// it is written and let go, so a large memo never stands whole as JSON. False when out's
// sink stopped the writing.
bool WriteMemoJson(const Json& head, GPadDrawMan& memo, const InkraMan& body, JsonWriter& out);

// The depth of page objects in a memo's JSON, for JsonLimits::packDepth.
inline constexpr int kMemoObjectDepth = 5;

// Fills a newly constructed memo from json (page objects may be packed) after checking
// every value against the file's limits; version is the form the JSON asks for (2.2 or major 1). On
// failure error names the value ("pages[0].objects[2].points[5]: ...") and the memo must be
// discarded.
bool MemoFromJson(const Json& json, GPadDrawMan& memo, _FILE_VERSION& version, std::string& error);

} // namespace padtool
