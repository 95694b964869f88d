#pragma once

// The JSON box library: parse replies, read and write by dotted path or index, build objects pair
// by pair, and write indented ASCII text.
//
//   TJSONBox reply = TJSONBox::Create(JSONObject(text));  // a root box on a deep copy
//   JSONRootGuard guard(reply);                           // freed on every path
//   if (reply[u"code"].AsString() != u"100") ...
//   TJSONBox result = TJSONBox::Create(JSONObject());
//   JSONRootGuard resultGuard(result);
//   TJSONStream(result) <= JSONPair(u"code", u"SUCCESS") <= JSONPair(u"data", text);
//   result[u"count"] <= int64_t{3};
//   std::u16string body = result.Stringify();
//
// A document and the boxes on it belong to one thread at a time. The process-wide settings
// (TJSONBox::Check, TJSONDefault, TJSONStringifier) hold their load values before any code runs
// and are only read.

#include "velto/json_box_record.h"
#include "velto/json_exceptions.h"
#include "velto/json_handles.h"
#include "velto/json_helpers.h"
#include "velto/json_location.h"
#include "velto/json_path.h"
#include "velto/json_settings.h"
#include "velto/json_stream.h"
#include "velto/json_stringifier.h"
#include "velto/json_value.h"
#include "velto/json_variant.h"
