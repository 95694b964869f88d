#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "velto/json_box_record.h"
#include "velto/json_value.h"
#include "velto/json_variant.h"

namespace velto {

// Shared handles through which document values travel. A handle's value lives exactly as long as
// the handle; Clone always gives an independent copy.

// A marker for anything that can be streamed.
class IJSONPart : public virtual IInterface {};

class IJSONValue : public virtual IJSONPart {
 public:
  // The held value, lent: it dies with the handle and must not be put into another document.
  virtual JSONValue* Get() const = 0;
  // A deep copy owned by the caller, or nullptr when the handle holds nothing.
  virtual JSONValuePtr Clone() const = 0;
};

class IJSONPair : public virtual IJSONPart {
 public:
  virtual std::u16string GetName() const = 0;
  virtual std::shared_ptr<IJSONValue> GetValue() const = 0;
};

// An IJSONValue whose value is an object.
class IJSONObject : public virtual IJSONValue {};
// An IJSONValue whose value is an array.
class IJSONArray : public virtual IJSONValue {};

class TJSONPartFactory : public virtual IJSONPart {};

class TJSONValueFactory : public TJSONPartFactory, public virtual IJSONValue {
 public:
  // Takes ownership of content.
  explicit TJSONValueFactory(JSONValuePtr content) : FContent(std::move(content)) {}
  JSONValue* Get() const override { return FContent.get(); }
  JSONValuePtr Clone() const override { return FContent ? FContent->Clone() : nullptr; }

 private:
  JSONValuePtr FContent;
};

class TJSONObjectFactory : public TJSONValueFactory, public virtual IJSONObject {
 public:
  using TJSONValueFactory::TJSONValueFactory;
};

class TJSONArrayFactory : public TJSONValueFactory, public virtual IJSONArray {
 public:
  using TJSONValueFactory::TJSONValueFactory;
};

class TJSONPairFactory : public TJSONPartFactory, public virtual IJSONPair {
 public:
  TJSONPairFactory(std::u16string name, std::shared_ptr<IJSONValue> value)
      : FName(std::move(name)), FValue(std::move(value)) {}
  std::u16string GetName() const override { return FName; }
  std::shared_ptr<IJSONValue> GetValue() const override { return FValue; }

 private:
  std::u16string FName;
  std::shared_ptr<IJSONValue> FValue;
};

// A new document value from a Variant: integers (all but UInt64) and floats, currency included,
// become numbers, text a string, a boolean a boolean, a handle offering IJSONValue a clone of its
// value. Every other kind, non-finite floats included, raises ETypeMismatch.
JSONValuePtr JSONValueFrom(const Variant& value);
// A pair or value handle stays as it is (a pair first); any other accepted kind becomes a new value
// handle. Never clones a handle; the refused kinds raise ETypeMismatch.
std::shared_ptr<IJSONPart> JSONPartFrom(const Variant& value);
// A named value; a handle inside value is cloned here.
std::shared_ptr<IJSONPair> JSONPair(std::u16string name, const Variant& value);

// Parse text holding exactly one JSON object (array); anything else raises ETypeMismatch. Any
// depth of nesting is accepted: nothing in the document model recurses.
std::shared_ptr<IJSONObject> JSONObject(std::u16string_view data);
std::shared_ptr<IJSONObject> JSONObject();
std::shared_ptr<IJSONArray> JSONArray(std::u16string_view data);
std::shared_ptr<IJSONArray> JSONArray();

// Raises the exception matching value.Error when TJSONBox::Check is true; else returns value.
TJSONBox JSONBoxCheck(const TJSONBox& value);

}  // namespace velto
