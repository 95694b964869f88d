#pragma once

#include <string>

#include "velto/exception.h"

namespace velto {

// The base of every failure the JSON box raises.
class JSONException : public Exception {
 public:
  using Exception::Exception;
};

// "Type mismatch": a value of the wrong kind, a container that is not the one needed, or text that
// is not the JSON asked for.
class ETypeMismatch : public JSONException {
 public:
  ETypeMismatch();
};

// "Path was not found": a leading item of a dotted path is missing or is not an object.
class EPathNotFound : public JSONException {
 public:
  EPathNotFound();
};

// "Index out of bounds (N)".
class EIndexOutOfBounds : public JSONException {
 public:
  explicit EIndexOutOfBounds(int32_t index);
};

// "Argument is invalid": a location made from a value that is neither a path nor an index.
class EArgumentInvalid : public JSONException {
 public:
  EArgumentInvalid();
};

// Text that does not read as the number asked for, e.g. "'1.5' is not a valid integer value".
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// An item index outside a path's items.
class EArgumentOutOfRange : public Exception {
 public:
  EArgumentOutOfRange();
};

}  // namespace velto
