#pragma once

// The JSON box library: parse replies, read and write by dotted path or index, build objects pair
// by pair, and write indented ASCII text.

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
