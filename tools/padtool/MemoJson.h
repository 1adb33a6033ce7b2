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

// The memo's header, paper and picture bytes (base64) from memo, and its pages from body:
// the body as read from the file, since drawing a page (as loading the memo does) settles
// the bounds of its strokes anew. With deferObjects the page objects are made only as they
// are written (JsonValue::Later), which writes the same text in a fraction of the memory;
// the value must then not outlive memo and body.
JsonValue MemoToJson(GPadDrawMan& memo, const InkraMan& body, bool deferObjects = false);

// The depth of page objects in a memo's JSON, for JsonLimits::deferDepth.
inline constexpr int kMemoObjectDepth = 5;

// Fills a newly constructed memo from json (page objects may be deferred) after checking
// every value against the file's limits; version is the form the JSON asks for (2.2 or major 1). On
// failure error names the value ("pages[0].objects[2].points[5]: ...") and the memo must be
// discarded.
bool MemoFromJson(const JsonValue& json, GPadDrawMan& memo, _FILE_VERSION& version,
                  std::string& error);

} // namespace padtool
